#include "host/XmlParsing.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

std::string nested(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) {
        text += "<e>";
    }
    for (int i = 0; i < levels; ++i) {
        text += "</e>";
    }
    return text;
}

int treeDepth(const TiXmlNode& node) {
    int deepest = 0;
    for (const TiXmlNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
        deepest = std::max(deepest, treeDepth(*child));
    }
    return deepest + (node.ToElement() != nullptr ? 1 : 0);
}

// The count follows the parser: markup it reads as one piece hides nothing and counts nothing, whatever
// looks like elements inside it. Each case is checked against the parser's own tree as well.
TEST(XmlParsing, NestingIsCountedAsTheParserReadsTheText) {
    const struct {
        std::string text;
        int depth;
    } cases[] = {
        {"", 0},
        {"<a/>", 1},
        {"<a><b/><b><c x='1'/></b></a><a/>", 3},
        {"<a><!-- <b><b> --><![CDATA[<b><b>]]></a>", 1},
        {"<a x='<b>' y=\"<b>\" z=1><b/></a>", 2},
        {"<a x='\"'><b></b></a>", 2},
        {"<?xml version='>' encoding=\"<a>\"?><a><b/></a>", 2},
        {"<?xml other='><a><b/></a>", 2},
        {"<!DOCTYPE a \"><a><b/></a>", 2},
        {"<?pi '><a><a/></a>", 2},
        {"<a></b><a><a/>", 2},
        {"</a></a><a><a/></a>", 2},
        {"<a>text > more <a/> &#x3C; </a>", 2},
        {"<a><b x=1 y='>", 2},
        {"<a><!-- never closed <b><b><b>", 1},
        {std::string("<a>\0<b><b>", 10), 1},
        {"<a>\xF0\"<b/></a>", 2},
        {"<\xE9><\xE9/></\xE9>", 2},
        {nested(300), 300},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(host::xmlNestingDepth(c.text.c_str()), c.depth) << c.text;
        TiXmlDocument document;
        document.Parse(c.text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
        EXPECT_LE(treeDepth(document), c.depth) << c.text;
    }
}

TEST(XmlParsing, TextsNestedTooDeeplyAreNotParsed) {
    TiXmlDocument deep;
    EXPECT_FALSE(host::parseXmlText(deep, ("<r>" + nested(host::maxXmlNesting) + "</r>").c_str()));
    EXPECT_EQ(deep.FirstChild(), nullptr);

    TiXmlDocument deepest;
    ASSERT_TRUE(host::parseXmlText(deepest, ("\xEF\xBB\xBF" + nested(host::maxXmlNesting)).c_str()));
    EXPECT_FALSE(deepest.Error());
    EXPECT_EQ(treeDepth(deepest), host::maxXmlNesting);
}

// Each byte is one character: a lead byte of UTF-8 does not take the quote after it, and a reference
// gives back the byte of its code.
TEST(XmlParsing, TextIsReadByteForByte) {
    TiXmlDocument document;
    ASSERT_TRUE(host::parseXmlText(
        document, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n=\"\xF0\" m=\"&#xE9;&#233;\xC3\xA9\"/>"));
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    EXPECT_STREQ(document.RootElement()->Attribute("n"), "\xF0");
    EXPECT_STREQ(document.RootElement()->Attribute("m"), "\xE9\xE9\xC3\xA9");
}

} // namespace
