#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/PropertyStore.h"
#include "host/System.h"
#include "host/Testing.h"

#include "DebugOutput.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

using namespace kernel;

namespace {

std::string describe(const Value& value);

// Untyped children (attributes) sorted by name in (), listed children in order in [].
std::string describeChildren(const VectorValue& list, const NodeValue* node) {
    std::string text;
    if (node != nullptr) {
        std::vector<std::string> attributes;
        for (const auto& [name, child] : node->namedChildren()) {
            if (child->isUntypedScalar()) {
                attributes.push_back(describe(*child));
            }
        }
        std::sort(attributes.begin(), attributes.end());
        for (const std::string& attribute : attributes) {
            text += text.empty() ? '(' : ',';
            text += attribute;
        }
        text += text.empty() ? "" : ")";
    }
    text += "[";
    for (auto it = list.childrenBegin(); it != list.childrenEnd(); ++it) {
        if (it != list.childrenBegin()) {
            text += ',';
        }
        text += describe(**it);
    }
    return text + "]";
}

std::string describe(const Value& value) {
    const std::string head = value.typeName() + "#" + value.name();
    if (value.isScalar()) {
        return head + "=" + static_cast<const ScalarValue&>(value).toString();
    }
    if (value.isNode()) {
        return head +
               describeChildren(static_cast<const NodeValue&>(value), &static_cast<const NodeValue&>(value));
    }
    return head + describeChildren(static_cast<const VectorValue&>(value), nullptr);
}

SmartPtr<ValueDocument> loaded(const std::string& path, int mode = modeFile, bool typed = true) {
    SmartPtr<ValueDocument> document(new ValueDocument(path));
    document->setFileMode(mode);
    document->setTypedXml(typed);
    document->load();
    return document;
}

// The document's top-level values, as one line.
std::string topLevel(const ValueDocument& document) {
    return describeChildren(document, &document);
}

std::string readXml(const testsupport::TempDir& dir, const std::string& xml, bool typed = true) {
    return topLevel(*loaded(dir.write("in.xml", xml), modeFile, typed));
}

} // namespace

TEST(ValueDocument, ParsesElementsIntoTypedValues) {
    const struct {
        const char* xml;
        const char* expected;
        bool typed = true;
    } cases[] = {
        {R"(<a><Integer id="A" value="12"/><Double id="D" value="1.5"/><Boolean id="B"/></a>)",
         "[Integer#A=12,Double#D=1.5,Boolean#B=]"},
        {R"(<a><Button id="quit" x="5" y="6"><String id="textid" value="T"/></Button></a>)",
         "[Button#quit(#x=5,#y=6)[String#textid=T]]"},
        {"<a><Label id='L'>  Hello \n  world </Label></a>", "[Label#L[Text#value=Hello world]]"},
        {"<a><Label id='L'><!-- note -->hi</Label></a>", "[Label#L[Text#value=hi]]"},
        {"<a><String id='S' value='attr'>text</String></a>", "[String#S=text]"},
        {"<a><Node id='n' value='attr'>text</Node></a>", "[Node#n[Text#value=text]]"},
        {"<a><Node id='n'><Integer value='1'/><Integer value='2'/></Node></a>", "[Node#n[Integer#=2]]"},
        {"<a><Vector id='v' x='1'><Integer value='1'/><Integer value='2'/></Vector></a>",
         "[Vector#v[Integer#=1,Integer#=2]]"},
        {"<a><Integer id='i' value='3' other='4'><Integer id='j'/></Integer></a>", "[Integer#i=3]"},
        {"<a x='1'><Integer id='A' value='1'/></a><b><Integer id='B' value='&amp;&#x41;'/></b>",
         "[Integer#A=1,Integer#B=&A]"},
        {"<a><Integer id='A' value='1'/><Integer id='A' value='2'/></a>", "[Integer#A=2]"},
        {"<a><width>640</width><Node id='n'><Integer id='i' value='1'/>ignored</Node></a>",
         "(#width=640)[Node#n[Integer#i=1]]", false},
        {"<a><width>640</width></a>", "[width#[Text#value=640]]"},
    };
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        EXPECT_EQ(readXml(dir, c.xml, c.typed), c.expected) << c.xml;
    }
}

TEST(ValueDocument, BrokenOrMissingFilesKeepWhatWasRead) {
    std::string deepDocument = "<a><Integer id='A' value='1'/>";
    for (int level = 0; level < 50000; ++level) {
        deepDocument += "<Node>";
    }
    const struct {
        const char* xml;
        const char* expected;
    } cases[] = {
        {"", "[]"},
        {"garbage", "[]"},
        {"\xff\xfe<a>", "[]"},
        {R"(<a><Integer id="A" value="1"/><Integer id="B" val)", "[Integer#A=1,Integer#B=]"},
        {"<a><Node id='n'><Integer id='i' value='1'/>", "[Node#n[Integer#i=1]]"},
        {"<a><Integer id='A' value='1'/></b>", "[Integer#A=1]"},
        {"<a><Integer id='A' value='1' value='2'/></a>", "[Integer#A=1]"},
        // Not parsed at all: the parser would recurse once per level, past the end of the stack.
        {deepDocument.c_str(), "[]"},
    };
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        EXPECT_EQ(readXml(dir, c.xml), c.expected) << c.xml;
    }
    ValueDocument missing(dir.file("absent.xml"));
    missing.setFileMode(modeFile);
    missing.load();
    missing.loadFile(dir.path().string());
    EXPECT_EQ(missing.namedChildren().size(), 0u);
}

// Whether a file was read whole is told to the reader, and a damaged one is named in the debug output with
// what was wrong with it.
TEST(ValueDocument, EachReadSaysWhetherTheFileWasReadWhole) {
    const testsupport::DebugOutput output;
    testsupport::TempDir dir;
    using Result = DocumentRead::Result;
    const struct {
        std::string xml;
        Result result;
        const char* problem;
    } cases[] = {
        {"<a><Integer id='A' value='1'/></a>", Result::Whole, ""},
        {"<a>\r\n<Integer id='A'\rvalue='1'/>\r</a>\r\n", Result::Whole, ""},
        {"", Result::Damaged, "empty"},
        {"<a><Integer id='A' value='1'/>", Result::Damaged, "at its end"},
        {"<a>\n\n<Integer id='A' value='1'/></b>", Result::Damaged, "at line 3"},
        {std::string("<a><Integer id='A' value='1'/></a>\0<b/>", 39), Result::Damaged,
         "a zero byte at offset 34"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml.substr(0, 40));
        const std::string path = dir.write("in.xml", c.xml);
        ValueDocument document;
        document.setFileMode(modeFile);
        const DocumentRead read = document.loadFile(path);
        EXPECT_EQ(read.result, c.result);
        EXPECT_NE(read.problem.find(c.problem), std::string::npos) << read.problem;
        const std::string heard = output.take();
        if (c.result == Result::Damaged) {
            EXPECT_EQ(heard, "Reading \"" + path + "\": " + read.problem + "\n");
        } else {
            EXPECT_EQ(heard, "");
            EXPECT_TRUE(read.problem.empty());
            EXPECT_EQ(document.getValue("A").asInt(), 1);
        }
    }
    std::string deep = "<a>";
    for (int level = 0; level < 300; ++level) {
        deep += "<Node>";
    }
    ValueDocument document;
    document.setFileMode(modeFile);
    const DocumentRead tooDeep = document.loadFile(dir.write("deep.xml", deep));
    EXPECT_TRUE(tooDeep.isDamaged());
    EXPECT_EQ(tooDeep.problem, "nested more deeply than 256 elements");
    EXPECT_EQ(document.loadFile(dir.file("absent.xml")).result, Result::Missing);
    EXPECT_EQ(output.take(), "Reading \"" + dir.file("deep.xml") + "\": " + tooDeep.problem + "\n");
}

// A file that is there but cannot be read is never taken for a missing one (its owner would save over it),
// and a pipe in its place does not block: plain or scrambled, each says why, and nothing of it is read.
TEST(ValueDocument, AFileThereButUnusableIsNotAMissingOne) {
    const testsupport::DebugOutput output;
    testsupport::TempDir dir;
    const std::string folder = dir.path().string();
    const std::string pipe = dir.file("pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string xml = "<a><Integer id='A' value='1'/></a>";
    const std::string plain = dir.write("plain.xml", xml);
    const struct {
        std::string path;
        int mode;
        std::string forced;
        std::string problem;
    } cases[] = {
        {folder, modeFile, "", "a folder"},
        {pipe, modeFile, "", "not a usable file (a pipe, device or socket)"},
        {plain, modeFile, "GetFileKind:" + plain, "cannot be read: " + host::systemErrorText(EACCES)},
        {plain, modeFile, "fopen:" + plain, "cannot be opened"},
        {plain, modeFile, "fread", "cannot be read to its end (a read error)"},
        {plain, modeEncryptFile, "GetFileKind:" + plain + ".!",
         "cannot be read: " + host::systemErrorText(EACCES)},
    };
    dir.write("plain.xml.!", xml);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " " + c.forced);
        if (!c.forced.empty()) {
            // A read that stops short names no code.
            host::testing::failCall(c.forced, c.forced == "fread" ? -1 : EACCES);
        }
        ValueDocument document;
        document.setFileMode(c.mode);
        const DocumentRead read = document.loadFile(c.path);
        host::testing::clearFailures();
        EXPECT_TRUE(read.isUnusable());
        EXPECT_EQ(read.problem, c.problem);
        EXPECT_FALSE(document.hasChild("A"));
        EXPECT_EQ(output.take(), "Reading \"" + storageFileName(c.mode, c.path) + "\": " + c.problem +
                                     "; it is left alone\n");
    }
}

// A file larger than any real one is a damaged file: nothing of it is read (reading it would cost many
// times its size), plain or scrambled. One of exactly the largest size is read.
TEST(ValueDocument, AFileOverTheSizeBoundIsNotRead) {
    const testsupport::DebugOutput output;
    testsupport::TempDir dir;
    const std::string head = "<a><Integer id='A' value='1'/><!--";
    const std::string tail = "--></a>";
    const std::string largest =
        head + std::string(ValueDocument::maxFileBytes - head.size() - tail.size(), 'x') + tail;
    for (const bool over : {false, true}) {
        SCOPED_TRACE(over ? "one byte over" : "the largest");
        ValueDocument document;
        document.setFileMode(modeFile);
        const DocumentRead read = document.loadFile(dir.write("big.xml", over ? largest + " " : largest));
        EXPECT_EQ(read.isDamaged(), over);
        EXPECT_EQ(document.hasChild("A"), !over);
        EXPECT_EQ(output.take(),
                  over ? "Reading \"" + dir.file("big.xml") + "\": larger than 4194304 bytes, not read\n"
                       : "");
    }

    SmartPtr<ValueDocument> scrambled(new ValueDocument());
    scrambled->setChild(new ScalarValue("A", 1, Typing::Typed));
    scrambled->setFileMode(modeEncryptFile);
    scrambled->setSavePath(dir.file("save.xml"));
    ASSERT_EQ(scrambled->save(), SaveResult::Saved);
    EXPECT_EQ(loaded(dir.file("save.xml"), modeEncryptFile)->getValue("A").asInt(), 1);
    std::filesystem::resize_file(dir.file("save.xml.!"), ValueDocument::maxFileBytes + 1);
    ValueDocument document;
    document.setFileMode(modeEncryptFile);
    EXPECT_EQ(document.loadFile(dir.file("save.xml")).problem, "larger than 4194304 bytes, not read");
    EXPECT_FALSE(document.hasChild("A"));
}

TEST(ValueDocument, LaterFilesReplaceEarlierTopLevelValues) {
    testsupport::TempDir dir;
    SmartPtr<ValueDocument> document(new ValueDocument(dir.write("a.xml", R"(<a><Integer id="A" value="1"/>
        <Integer id="B" value="1"/></a>)")));
    document->addFile(dir.file("missing.xml"));
    document->addFile(dir.write("b.xml", R"(<b><Integer id="A" value="2"/></b>)"));
    document->setFileMode(modeFile);
    document->load();
    EXPECT_EQ(topLevel(*document), "[Integer#B=1,Integer#A=2]");
}

TEST(ValueDocument, SetupSharesAStoredNodesChildrenAndOwnChildrenWin) {
    testsupport::TempDir dir;
    const std::string xml = R"(<a><Dialog id="d" setup="base" x="9"><Integer id="B" value="5"/></Dialog>
        <Dialog id="none" setup="nothing"/></a>)";
    EXPECT_EQ(readXml(dir, xml), "[Dialog#d(#setup=base,#x=9)[Integer#B=5],Dialog#none(#setup=nothing)[]]");

    PropertyStore::create();
    SmartPtr<NodeValue> base(new NodeValue("base", "Node"));
    base->setChild(new ScalarValue("x", "1", Typing::Untyped));
    Value* shared = base->setChild(new ScalarValue("A", 1, Typing::Typed)).get();
    base->setChild(new ScalarValue("B", 2, Typing::Typed));
    PropertyStore::instance()->nodeRef("base") = base;

    SmartPtr<ValueDocument> document = loaded(dir.write("setup.xml", xml));
    EXPECT_EQ(topLevel(*document),
              "[Dialog#d(#setup=base,#x=9)[Integer#A=1,Integer#B=5],Dialog#none(#setup=nothing)[]]");
    EXPECT_EQ(document->getNode("d").findChild("A"), shared);
    EXPECT_EQ(describe(*base), "Node#base(#x=1)[Integer#A=1,Integer#B=2]");
    EXPECT_EQ(PropertyStore::instance()->findNode("nothing"), nullptr);
    PropertyStore::destroy();
}

TEST(ValueDocument, SavedTreeReadsBackTheSame) {
    testsupport::TempDir dir;
    const std::string xml = R"(<a><Button id="b" x="1" y="&quot;q&quot;">caption<Integer id="n" value="-3"/>
          <Vector id="v"><Integer value="1"/><Node><String id="s" value="two"/></Node><Vector/></Vector>
        </Button><Float id="f" value="0.5"/><String id="high" value="caf&#xE9;"/></a>)";
    SmartPtr<ValueDocument> original = loaded(dir.write("in.xml", xml));
    original->getNode("b").addBoolean("flag", true, Typing::Untyped);
    original->setSavePath(dir.file("out.xml"));
    ASSERT_EQ(original->save(), SaveResult::Saved);

    SmartPtr<ValueDocument> copy = loaded(dir.file("out.xml"));
    EXPECT_EQ(topLevel(*copy), topLevel(*original));
    EXPECT_EQ(copy->getValue("high").text(), widenString("caf\xE9"));
    EXPECT_EQ(copy->getNode("b").getValue("y").toString(), "\"q\"");
    // No temporary is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ValueDocument, ScrambledModeWritesOnlyTheScrambledFileAndReadsItBack) {
    testsupport::TempDir dir;
    SmartPtr<ValueDocument> original(new ValueDocument());
    original->setChild(new ScalarValue("A", 42, Typing::Typed));
    original->setChild(new ScalarValue("T", u"Hi", Typing::Typed));
    original->setFileMode(modeEncryptFile);
    original->setSavePath(dir.file("save.xml"));
    ASSERT_EQ(original->save(), SaveResult::Saved);
    EXPECT_FALSE(std::filesystem::exists(dir.file("save.xml")));
    ASSERT_TRUE(std::filesystem::exists(dir.file("save.xml.!")));
    EXPECT_EQ(testsupport::TempDir::read(dir.file("save.xml.!")).find("Integer"), std::string::npos);

    EXPECT_EQ(topLevel(*loaded(dir.file("save.xml"), modeEncryptFile)), "[Integer#A=42,Text#T=Hi]");
}

TEST(ValueDocument, FailedSaveIsReportedAndKeepsTheOldFile) {
    const testsupport::DebugOutput output;
    testsupport::TempDir dir;
    const std::string path = dir.write("keep.xml", "OLD");
    SmartPtr<ValueDocument> document(new ValueDocument());
    document->setChild(new ScalarValue("A", 1, Typing::Typed));
    document->setFileMode(modeFile);
    document->setSavePath(path);
    // Bytes that may not have reached the disk are no save.
    host::testing::failCall("writeFileAtomically:fsync", EIO, 1);
    EXPECT_EQ(document->save(), SaveResult::Failed);
    EXPECT_EQ(testsupport::TempDir::read(path), "OLD");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_EQ(output.take(), "Saving \"" + path + "\" failed: Input/output error\n");

    document->setSavePath(dir.file("no/such/folder/x.xml"));
    EXPECT_EQ(document->save(), SaveResult::Failed);
    EXPECT_NE(output.take().find("x.xml\" failed: No such file or directory"), std::string::npos);
    document->setSavePath("");
    EXPECT_EQ(document->save(), SaveResult::Failed);
    EXPECT_NE(output.take(), "");
}
