#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ValueDocument.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace kernel;

TEST(PropertyStore, ExistsBetweenCreateAndDestroyAndAMissInsertsAZeroThatLaterLookupsFind) {
    EXPECT_EQ(PropertyStore::instance(), nullptr);
    EXPECT_TRUE(PropertyStore::getText("TEXT_NONE").empty());
    PropertyStore* store = PropertyStore::create();
    EXPECT_EQ(PropertyStore::instance(), store);
    std::int32_t& first = store->intRef("CFG_MISSING");
    EXPECT_EQ(first, 0);
    first = 17;
    EXPECT_EQ(&store->intRef("CFG_MISSING"), &first);
    EXPECT_FALSE(store->nodeRef("NODE_MISSING"));
    EXPECT_FALSE(store->vectorRef("VECTOR_MISSING"));
    EXPECT_EQ(store->findNode("NODE_MISSING"), nullptr);
    PropertyStore::destroy();
    EXPECT_EQ(PropertyStore::instance(), nullptr);
}

TEST(PropertyStore, ValueCreatorsStoreWhatTheStartUpFilesHold) {
    testsupport::TempDir dir;
    SmartPtr<ValueDocument> settings(
        new ValueDocument(dir.write("media/properties/default.xml", R"(<Properties>
        <Integer id="CFG_HEX" value="#1F"/>  <Integer id="CFG_TWICE" value="1"/>
        <Boolean id="FLAG_UPPER" value="FALSE"/>  <Boolean id="FLAG_OFF" value="false"/>
        <Float id="SPEED" value="1.25"/>  <Double id="RATE" value="-0.5"/>
        <String id="GAME_NAME" value="Pibbles"/>  <Text id="TEXT_HELLO" value="Hello"/>
        <Node id="base"><Integer id="A" value="1"/></Node>
        <Vector id="list"><Integer value="1"/><Integer value="2"/></Vector>
        <Panel id="NOT_STORED"/></Properties>)")));
    settings->addFile(dir.write("locale/properties/text.xml", R"(<Texts>
        <Integer id="CFG_TWICE" value="2"/><Text id="TEXT_HELLO" value="Hallo"/></Texts>)"));
    settings->setFileMode(modeFile);
    settings->load();

    // Without a store the creators have nowhere to put anything.
    EXPECT_EQ(ObjectFactory::instance()->createObject(*settings->findChild("CFG_HEX")), nullptr);

    PropertyStore* store = PropertyStore::create();
    ObjectFactory::instance()->createChildren(*settings);
    settings->clearAll();
    EXPECT_EQ(store->intRef("CFG_HEX"), 31);
    EXPECT_EQ(store->intRef("CFG_TWICE"), 2);
    EXPECT_TRUE(store->boolRef("FLAG_UPPER"));
    EXPECT_FALSE(store->boolRef("FLAG_OFF"));
    // One document keeps one value per name, so the Integer of the same name comes on its own.
    SmartPtr<Value> speed(new ScalarValue("SPEED", "Integer", "7"));
    EXPECT_EQ(ObjectFactory::instance()->createObject(*speed), nullptr);
    EXPECT_FLOAT_EQ(store->floatRef("SPEED"), 1.25f);
    EXPECT_EQ(store->intRef("SPEED"), 7);
    EXPECT_DOUBLE_EQ(store->doubleRef("RATE"), -0.5);
    EXPECT_EQ(store->stringRef("GAME_NAME"), "Pibbles");
    EXPECT_EQ(PropertyStore::getText("TEXT_HELLO"), u"Hallo");
    ASSERT_NE(store->findNode("base"), nullptr);
    EXPECT_EQ(store->findNode("base")->getValue("A").asInt(), 1);
    ASSERT_TRUE(store->vectorRef("list"));
    EXPECT_EQ(store->vectorRef("list")->childCount(), 2);
    EXPECT_EQ(store->findNode("NOT_STORED"), nullptr);

    // A value of the wrong kind stores the empty fallback's reading.
    SmartPtr<NodeValue> wrongKind(new NodeValue("CFG_HEX", "Integer"));
    ObjectFactory::instance()->createObject(*wrongKind);
    EXPECT_EQ(store->intRef("CFG_HEX"), 0);
    PropertyStore::destroy();
}
