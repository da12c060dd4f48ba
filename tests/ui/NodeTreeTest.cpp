#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Button.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Label.h"
#include "engine/ui/Modifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/ScrollPanel.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/StyleLabel.h"
#include "engine/ui/ToolTipLabel.h"

#include "ResourceFolder.h"
#include "RuntimeDir.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using kernel::SmartPtr;
using ui::GameNode;
using ui::Sprite;

namespace {

std::vector<std::string> journal;

// Writes its updates and its destruction to the journal.
class Probe : public GameNode {
public:
    explicit Probe(const std::string& label) { setName(label); }
    ~Probe() override { journal.push_back("~" + getName()); }
    void onUpdate(std::uint32_t) override { journal.push_back(getName()); }
};

class NoteModifier : public ui::Modifier {
public:
    void update(std::uint32_t) override { journal.push_back("modifier of " + node->getName()); }
};

using testsupport::filled32;

std::uint32_t rgbAt(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)] & 0xFFFFFFu;
}

std::vector<std::string> childNames(const GameNode& parent) {
    std::vector<std::string> names;
    for (GameNode* child = parent.getFirstChild(); child; child = child->getNextSibling()) {
        names.push_back(child->getName());
    }
    return names;
}

} // namespace

TEST(NodeTree, DeclarationBuildsTheTreeThroughTheFactory) {
    testsupport::TempDir dir;
    testsupport::RuntimeDir runtime;
    kernel::ResourceManager* resources = kernel::ResourceManager::create();
    kernel::NodeValue section("tiles", "Section");
    section.setChild(new kernel::ScalarValue("name", std::string("tiles"), kernel::Typing::Untyped));
    SmartPtr<kernel::ResourceGroup> group(new kernel::ResourceGroup(section));
    const SmartPtr<graphics::MemoryImage32> tile = filled32(4, 2, 0xFFFFFFFF);
    group->addResource("tile", new testsupport::HeldResource(tile.get(), "tile.png"));
    group->addResource("notimage", new testsupport::HeldResource(new kernel::Color(7), "colour.xml"));
    resources->addGroup(group);
    kernel::PropertyStore::create()->textMapLookup("TIP_ROOT") = u"Tip";

    SmartPtr<Sprite> root = testsupport::declared<Sprite>(dir, "scene.xml", R"(<Scene>
      <Sprite id="root" name="root" x="5" y="6" image="tile" section="tiles" tooltip="TIP_ROOT">
        <Vector id="children">
          <GameNode name="holder" x="1" suspended="true"><Vector id="children">
            <Sprite name="leaf" image="notimage" section="tiles" width="10" height="4" anchorpoint="center"/>
          </Vector></GameNode>
          <NoSuchClass name="skipped"/>
          <Sprite name="strip" visible="false" anchorpoint="middle" framewrapstyle="bounce" alpha="40"
                  color="#FF00FF00" image="tile" section="tiles" framecount="0" initanimation="true"
                  horizontalframelayout="true">
            <Vector id="modifiers"><ModifierFrame delay="0"/></Vector>
          </Sprite>
        </Vector>
      </Sprite></Scene>)",
                                                          "root");
    ASSERT_NE(root, nullptr);
    kernel::PropertyStore::destroy();
    kernel::ResourceManager::destroy();

    EXPECT_EQ(root->getImage(), tile.get());
    EXPECT_EQ(root->getWidth(), 4);
    EXPECT_EQ(root->getX(), 5);
    ASSERT_NE(root->getToolTipText(), nullptr);
    EXPECT_EQ(*root->getToolTipText(), u"Tip");
    EXPECT_EQ(childNames(*root), (std::vector<std::string>{"holder", "strip"}));

    GameNode* holder = root->getFirstChild();
    EXPECT_TRUE(holder->isSuspended());
    EXPECT_EQ(holder->referenceCount(), 1);
    auto* leaf = static_cast<Sprite*>(holder->getFirstChild());
    EXPECT_EQ(leaf->getParent(), holder);
    EXPECT_EQ(leaf->getImage(), nullptr);
    EXPECT_EQ(leaf->getAnchorPoint(), graphics::PointF(5.0f, 2.0f));
    EXPECT_EQ(leaf->getAbsoluteX(), 6);

    auto* strip = static_cast<Sprite*>(holder->getNextSibling());
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(strip->getAnchor(), Sprite::TopLeft);
    EXPECT_EQ(strip->getWrapStyle(), Sprite::Loop);
    EXPECT_EQ(strip->getAlpha(), 40);
    EXPECT_EQ(strip->getColor(), 0xFF00FF00u);
    // A declared frame count of 0 is cut as one frame.
    EXPECT_EQ(strip->getFrameCount(), 1);
    EXPECT_EQ(strip->getWidth(), 4);
    EXPECT_EQ(strip->getModifierList().size(), 1u);
    strip->update(16);
    EXPECT_EQ(strip->getCurrentFrame(), 0);
}

// Each declared widget is of its own class (listed first) and of every class above it in the real chain, and
// of no other.
TEST(NodeTree, WidgetsAreKindsOfTheirWholeClassChainOnly) {
    using kernel::ClassInfo;
    using namespace ui;
    const std::vector<const ClassInfo*> classes{
        &kernel::Object::classInfo, &GameNode::classInfo,         &Sprite::classInfo,
        &Panel::classInfo,          &ScrollPanel::classInfo,      &Dialog::classInfo,
        &Label::classInfo,          &ToolTipLabel::classInfo,     &StyleLabel::classInfo,
        &Button::classInfo,         &FullScreenHandler::classInfo};
    const struct {
        const char* type;
        std::vector<const ClassInfo*> kinds;
    } rows[] = {
        {"ScrollPanel", {&ScrollPanel::classInfo, &Panel::classInfo, &Sprite::classInfo}},
        {"Dialog", {&Dialog::classInfo, &Panel::classInfo, &Sprite::classInfo}},
        {"Panel", {&Panel::classInfo, &Sprite::classInfo}},
        {"ToolTipLabel", {&ToolTipLabel::classInfo, &Label::classInfo, &Sprite::classInfo}},
        {"Label", {&Label::classInfo, &Sprite::classInfo}},
        {"StyleLabel", {&StyleLabel::classInfo, &Sprite::classInfo}},
        {"Button", {&Button::classInfo, &Sprite::classInfo}},
        {"FullScreenHandler", {&FullScreenHandler::classInfo}},
        {"Sprite", {&Sprite::classInfo}},
    };
    testsupport::TempDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        const SmartPtr<GameNode> made = testsupport::declared<GameNode>(
            dir, "widget.xml", std::string("<w><") + row.type + R"( id="w" width="8" height="8"/></w>)", "w");
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->getClassInfo(), row.kinds.front());
        for (std::size_t i = 0; i < classes.size(); ++i) {
            const bool expected =
                i < 2 || std::find(row.kinds.begin(), row.kinds.end(), classes[i]) != row.kinds.end();
            EXPECT_EQ(made->isKindOf(*classes[i]), expected) << "class " << i;
        }
    }
}

TEST(NodeTree, UpdateRunsNodeThenModifiersThenChildrenSkippingSuspendedAndDead) {
    journal.clear();
    SmartPtr<Probe> root(new Probe("root"));
    auto* a = new Probe("a");
    root->addChild(a);
    a->addChild(new Probe("a1"));
    a->addModifier(new NoteModifier());
    auto* b = new Probe("b");
    root->addChild(b);
    b->addChild(new Probe("b1"));
    b->setSuspended(true);
    auto* c = new Probe("c");
    root->addChild(c);
    c->addChild(new Probe("c1"));
    c->kill();
    root->addChild(new Probe("d"));
    // The walk's own root runs whatever its flags.
    root->setSuspended(true);

    root->updateTree(16);
    EXPECT_EQ(journal, (std::vector<std::string>{"root", "a", "modifier of a", "a1", "d"}));
}

TEST(NodeTree, RemovalIsDeferredAndARemovedNodeCanComeBack) {
    journal.clear();
    SmartPtr<GameNode> root(new GameNode());
    SmartPtr<Probe> kept(new Probe("kept"));
    root->addChild(kept.get());
    EXPECT_EQ(kept->referenceCount(), 2);

    kept->kill();
    EXPECT_EQ(root->getFirstChild(), kept.get());
    root->addChild(kept.get());
    EXPECT_FALSE(kept->isDead());
    root->removeDeadDescendants();
    EXPECT_EQ(root->getFirstChild(), kept.get());

    auto* fresh = new Probe("fresh");
    kept->addChild(fresh);
    EXPECT_EQ(fresh->referenceCount(), 1);
    kept->kill();
    root->removeDeadDescendants();
    EXPECT_EQ(root->getFirstChild(), nullptr);
    EXPECT_EQ(kept->getParent(), nullptr);
    EXPECT_FALSE(kept->isDead());
    EXPECT_EQ(kept->referenceCount(), 1);
    EXPECT_TRUE(journal.empty());

    // Shown again, then moved to another parent without a change of count.
    root->addChild(kept.get());
    auto* other = new GameNode();
    root->addChild(other);
    other->addChild(kept.get());
    EXPECT_EQ(kept->referenceCount(), 2);
    EXPECT_EQ(root->getFirstChild(), other);
    EXPECT_EQ(kept->getParent(), other);

    fresh->kill();
    root->removeDeadDescendants();
    EXPECT_EQ(journal, (std::vector<std::string>{"~fresh"}));
}

TEST(NodeTree, SiblingInsertsOrderAndChildrenAreReleasedLastToFirst) {
    journal.clear();
    SmartPtr<GameNode> root(new GameNode());
    auto* a = new Probe("a");
    auto* c = new Probe("c");
    root->addChild(a);
    root->addChild(c);
    a->insertAfter(new Probe("b"));
    a->insertBefore(new Probe("z"));
    c->insertAfter(a);
    EXPECT_EQ(childNames(*root), (std::vector<std::string>{"z", "b", "c", "a"}));
    // A node cannot be made a child of its own descendant.
    a->addChild(root.get());
    EXPECT_EQ(root->getParent(), nullptr);

    root->removeAllChildren();
    EXPECT_EQ(journal, (std::vector<std::string>{"~a", "~c", "~b", "~z"}));
}

TEST(NodeTree, PaintDrawsParentsFirstChildrenRelativeAndSkipsInvisible) {
    SmartPtr<graphics::MemoryImage32> target(graphics::createImage32(8, 4));
    SmartPtr<graphics::ImagePainter> painter(target->createPainter());
    SmartPtr<GameNode> root(new GameNode());
    root->setPosition(2, 1);
    auto* red = new Sprite(0, 0, filled32(2, 2, 0xFFFF0000).get());
    root->addChild(red);
    red->addChild(new Sprite(0, 1, filled32(1, 1, 0xFF00FF00).get()));
    auto* blue = new Sprite(1, 0, filled32(2, 2, 0xFF0000FF).get());
    blue->setSuspended(true);
    root->addChild(blue);
    auto* hidden = new Sprite(5, 0, filled32(1, 1, 0xFFFFFFFF).get());
    hidden->setVisible(false);
    root->addChild(hidden);
    auto* faint = new Sprite(4, 2, filled32(2, 2, 0xFFFFFFFF).get());
    faint->setAnchor(Sprite::Center);
    faint->setAlpha(128);
    root->addChild(faint);

    root->paintTree(*painter);
    EXPECT_EQ(rgbAt(*target, 2, 1), 0xFF0000u);
    EXPECT_EQ(rgbAt(*target, 3, 1), 0x0000FFu);
    EXPECT_EQ(rgbAt(*target, 2, 2), 0x00FF00u);
    EXPECT_EQ(rgbAt(*target, 1, 1), 0u);
    EXPECT_EQ(rgbAt(*target, 7, 1), 0u);
    // Centred at (6, 3): its top-left pixel lies at (5, 2), half covering the dark target.
    EXPECT_EQ(rgbAt(*target, 5, 2), 0x7F7F7Fu);
    EXPECT_EQ(rgbAt(*target, 7, 3), 0u);
    EXPECT_EQ(painter->getAlpha(), 255);
    EXPECT_EQ(painter->getOriginX(), 0);
    EXPECT_FALSE(faint->isDirty());
}

TEST(Sprite, FramesAreCutFromTheImageAndSurviveAZeroCountAndDelay) {
    Sprite strip(0, 0, filled32(64, 16, 0).get());
    strip.setupFrames(4, true, true);
    EXPECT_EQ(strip.getWidth(), 16);
    EXPECT_EQ(*strip.getFirstFrameRect(), kernel::Rect(0, 0, 16, 16));
    EXPECT_EQ(strip.getFrameStepX(), 16);
    strip.setCurrentFrame(3);
    EXPECT_EQ(*strip.getSourceRect(), kernel::Rect(48, 0, 16, 16));

    strip.setupFrames(0, false, true);
    EXPECT_EQ(strip.getFrameCount(), 1);
    EXPECT_EQ(strip.getHeight(), 16);

    SmartPtr<Sprite> animated(new Sprite(0, 0, filled32(48, 16, 0).get()));
    animated->setupFrames(3, true, true);
    animated->addModifier(new ui::ModifierFrame(0, -1));
    std::vector<int> shown;
    for (int frame = 0; frame < 4; ++frame) {
        animated->update(16);
        shown.push_back(animated->getCurrentFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
}

TEST(Sprite, AnchorPlacesHitTestAndStretchedDrawing) {
    Sprite sprite(100, 100, 10, 10);
    sprite.setAnchor(Sprite::Center);
    EXPECT_TRUE(sprite.containsPoint(95, 95));
    EXPECT_FALSE(sprite.containsPoint(105, 100));

    // The anchor pixel stays put while the drawing doubles in width.
    sprite.setDisplayWidth(20);
    EXPECT_EQ(*sprite.getDisplayRect(), kernel::Rect(90, 100, 20, 10));
    sprite.setX(110);
    EXPECT_EQ(sprite.getDisplayRect()->x, 100);

    sprite.setToolTipText(u"hint");
    sprite.setToolTipText(u"");
    EXPECT_EQ(sprite.getToolTipText(), nullptr);
}
