#pragma once

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "game/field/FieldSprite.h"
#include "game/foundation/FieldCodes.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace game {

// One piece of the board. It draws itself from nineteen hidden layer sprites (parts and effect overlays,
// game/foundation/FieldCodes.h pibbleLayer) built from the pictures of "pibbles" for its colour, kind and
// head style. At rest it draws one picture composed of its parts; while an animation runs (a bit of its
// running-animation bits is set) it draws the layers themselves, so moved parts and overlays show.
//
// Every frame is 100 x 125 with the feet at (48, 101), the pibble's anchor. Its y is the ground line;
// the depth offset lifts the drawing while it jumps, the shadow stays on the ground.
class Pibble : public FieldSprite {
public:
    static constexpr int frameWidth = 100;
    static constexpr int frameHeight = 125;
    static constexpr float anchorX = 48.0f;
    static constexpr float anchorY = 101.0f;
    // How far below the feet the repainted rectangle reaches: the shadow lies there.
    static constexpr int belowFeet = 10;

    Pibble();
    ~Pibble() override;

    // Builds and composes first when the look changed.
    void paint(graphics::ImagePainter& painter) override;
    // The pibble and all its layers.
    void setAlpha(int value) override;
    // The shadow on the ground while the body is lifted or moved apart; nothing at rest (the composed
    // picture holds it) or while down a hole.
    void paintShadow(graphics::ImagePainter& painter) override;
    int fieldSpriteKind() const override { return PibbleKind; }
    // From the frame's top to belowFeet under the ground line, joined with the running dust clouds;
    // empty while the pibble stands at or above the field's top edge.
    kernel::Rect updateBounds() override;

    // Nothing when any of the bits is set already.
    virtual void addModifierType(std::uint32_t bits);
    // Clears exactly the bits given.
    virtual void removeModifierType(std::uint32_t bits);
    virtual bool hasModifierType(std::uint32_t bits) const { return (modifierTypes & bits) != 0; }
    virtual bool anyModifierType() const { return modifierTypes != 0; }
    std::uint32_t getModifierTypes() const { return modifierTypes; }

    // Sets the layers' pictures for the colour, kind, collectable and head style.
    void build();
    // Draws shadow, ears, feet, body, head (and the chain while chained) into the pibble's own picture.
    void compose();
    // How much darker a stubborn pibble's parts are: by colour from the tuning values; 0 when not
    // stubborn and for colours 0 and 8.
    float darkFactor() const;
    // Off while the stubborn animation runs also stops it (every modifier of the pibble and of its stubborn
    // layer goes) and, with no other animation left, sends the pibble back to the renderer's field layer.
    void setStubborn(bool on);
    // A clown takes the clown's colour, which matches every colour.
    void setClown(bool on);

    std::int32_t getColour() const { return colour; }
    void setColour(std::int32_t value);
    std::int32_t getGender() const { return gender; }
    void setGender(std::int32_t value) { gender = value; }
    std::int32_t getStyle() const { return style; }
    void setStyle(std::int32_t value);
    std::int32_t getCollectableId() const { return collectableId; }
    void setCollectableId(std::int32_t value);
    std::int32_t getFlags() const { return flags; }
    void setFlags(std::int32_t value);
    void setFlag(std::int32_t bit, bool on);
    bool isVib() const { return (flags & pibbleFlag::vib) != 0; }
    bool isClown() const { return (flags & pibbleFlag::clown) != 0; }
    bool isParty() const { return (flags & pibbleFlag::party) != 0; }
    bool isStubborn() const { return (flags & pibbleFlag::stubborn) != 0; }
    bool isChained() const { return (flags & pibbleFlag::chained) != 0; }
    bool hasCollectable() const { return collectableId != 0; }
    bool isSpecial() const { return (flags & pibbleFlag::special) != 0 || hasCollectable(); }
    // What a click may move: no special kind, no collectable, not removed; a VIB pibble is plain.
    bool isPlain() const { return !isSpecial() && !removed; }
    std::int32_t getNameIndex() const { return nameIndex; }
    void setNameIndex(std::int32_t value) { nameIndex = value; }
    bool isRemoved() const { return removed; }
    void setRemoved(bool value) { removed = value; }
    bool isPartyHatShown() const { return partyHatShown; }
    void setPartyHatShown(bool value) { partyHatShown = value; }
    // The next paint builds and composes the look again, and the renderer repaints the pibble's place.
    void setLookDirty();
    bool isLookDirty() const { return lookDirty; }

    ui::Sprite& layer(int index) const { return *layers[static_cast<std::size_t>(index)]; }
    graphics::MemoryImage32& getComposedImage() const { return *composed; }

    // Each running dust cloud (at a point in the pibble's parent's coordinates) is drawn by the back pass
    // and joins the bounds; its owner removes it when it ends.
    void addDustPoint(const void* owner, int x, int y);
    void removeDustPoint(const void* owner);
    // Gives the layer the picture of "pibbles" (cut into frames one below the other) unless it has one.
    void loadOnce(int index, const char* name, int frames);
    // Ends every animation at once: the modifiers of the pibble and of its layers go, the running bits
    // and dust clouds are cleared, the layers stand in place again, and a pibble in the renderer's top
    // layer goes back to its field layer.
    void stopAnimations();

    static constexpr kernel::ClassInfo classInfo{&FieldSprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    enum class Pass { Back, Body, Front };
    struct DustPoint {
        const void* owner;
        int x;
        int y;
    };

    void buildCollectable();
    void buildParts(const std::string& prefix);
    void buildOverlays();
    void buildHead(const std::string& prefix);
    void setLayerImage(int index, graphics::ImageBase* image, int frames);
    void prepareVibShine();
    void paintPass(graphics::ImagePainter& painter, Pass pass);
    bool shownInPass(int index, Pass pass) const;
    void paintDust(graphics::ImagePainter& painter);
    void paintComposed(graphics::ImagePainter& painter);
    // Builds and composes the look when it changed since.
    void refreshLook();

    std::int32_t colour = colour::none;
    std::int32_t gender = 0;
    std::int32_t style = headStyle::normal;
    std::int32_t collectableId = 0;
    std::int32_t flags = 0;
    std::int32_t nameIndex = 0;
    bool lookDirty = false;
    bool removed = false;
    std::uint32_t modifierTypes = 0;
    std::array<kernel::SmartPtr<ui::Sprite>, pibbleLayer::count> layers;
    bool partyHatShown = true;
    kernel::SmartPtr<graphics::MemoryImage32> composed;
    std::vector<DustPoint> dustPoints;
};

} // namespace game
