// The shipped start-up files: they must parse cleanly (the reader keeps a partial tree on an error,
// so a typo would otherwise go unnoticed) and hold the keys the program reads before anything else.
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ValueDocument.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

using namespace kernel;

namespace {
const std::string kSource = PIBBLES_SOURCE_DIR;
const std::string kDefaults = kSource + "/media/properties/default.xml";
const std::string kTexts = kSource + "/locale/properties/text.xml";
} // namespace

TEST(StartupData, ShippedFilesParseWithoutErrors) {
    for (const std::string& file : {kDefaults, kTexts}) {
        TiXmlDocument document;
        EXPECT_TRUE(document.LoadFile(file.c_str())) << file << ": " << document.ErrorDesc();
    }
}

TEST(StartupData, GameNameAndIdAreStrings) {
    PropertyStore* store = PropertyStore::create();
    SmartPtr<ValueDocument> settings(new ValueDocument(kDefaults));
    settings->addFile(kTexts);
    settings->setFileMode(kModeFile);
    settings->load();
    for (const char* key : {"GAME_NAME", "GAME_ID"}) {
        EXPECT_EQ(settings->getValue(key).typeName(), "String") << key;
    }
    ObjectFactory::instance()->createChildren(*settings);
    settings->clearAll();
    EXPECT_EQ(store->stringRef("GAME_NAME"), "Pibbles");
    EXPECT_FALSE(store->stringRef("GAME_ID").empty());
    PropertyStore::destroy();
}
