#include "engine/platform/DataGathering.h"

#include "engine/kernel/PathUtil.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"

#include "DebugOutput.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using platform::DataGathering;
using platform::WriteResult;
using Times = std::vector<std::pair<std::int32_t, std::int32_t>>;

std::uint32_t fakeMilliseconds() {
    static std::uint32_t ms = 0;
    return ms++;
}

class PlatformDataGathering : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 0); }
    // A failed assertion must not hand its record to the next test; what that record writes is no matter.
    void TearDown() override { (void)DataGathering::destroy(); }

    DataGathering* create(std::int32_t directX = 0x801) {
        // A still cycle counter ends the clock measurement after one pass.
        static const platform::SystemInfo measured(
            platform::CpuClocks{fakeMilliseconds, [] { return 0u; }, {}});
        return DataGathering::create("pibbles", file,
                                     {[this] { return now; },
                                      [directX] {
                                          platform::SystemInfo info = measured;
                                          info.directXVersion = directX;
                                          return info;
                                      }});
    }

    // One run: each session starts at its first time and ends at its second (0: never ended).
    WriteResult run(const Times& sessions, std::int32_t directX = 0x801) {
        DataGathering* record = create(directX);
        for (const auto& [start, end] : sessions) {
            now = start;
            record->startSession(0, 2);
            now = end;
            if (end != 0) {
                record->endSession();
            }
        }
        return DataGathering::destroy();
    }

    kernel::NodeValue& readBack() {
        document = new kernel::ValueDocument(file);
        document->load();
        return document->getNode("DataGathering");
    }

    Times writtenSessions() {
        Times times;
        const kernel::VectorValue& list = readBack().getVector("PlayingSessions");
        for (std::int32_t i = 0; i < list.childCount(); ++i) {
            const kernel::NodeValue& session = list.nodeAt(i);
            times.emplace_back(session.getValue("StartTime").asInt(), session.getValue("EndTime").asInt());
        }
        return times;
    }

    testsupport::ScratchRegistry registry;
    const std::string file = registry.dir().file("gd.xml");
    std::int32_t now = 0;
    kernel::SmartPtr<kernel::ValueDocument> document;
};

TEST_F(PlatformDataGathering, RunsAccumulateSessionsAndReplaceTheMachine) {
    ASSERT_EQ(run({{10, 20}, {30, 0}}, 0x700), WriteResult::Written);
    ASSERT_EQ(run({{40, 50}}), WriteResult::Written);
    EXPECT_EQ(writtenSessions(), (Times{{10, 20}, {30, 0}, {40, 50}}));
    const kernel::NodeValue& info = readBack().getNode("SystemInfo");
    EXPECT_EQ(kernel::narrowString(info.getValue("DirectX").text()), "#0801");
    EXPECT_EQ(info.namedChildren().size(), 12u);
    const kernel::NodeValue& session = readBack().getVector("PlayingSessions").nodeAt(2);
    EXPECT_EQ(session.getValue("NumOfPlayers").asInt(), 2);
    EXPECT_EQ(session.findChild("FullScreen")->typeName(), "Boolean");
}

TEST_F(PlatformDataGathering, SessionsCloseOnceAndHoldTheirRecords) {
    const kernel::SmartPtr<kernel::Object> early(new kernel::Object), held(new kernel::Object);
    DataGathering* record = create();
    record->endSession();
    record->addSessionRecord(early);
    now = 5;
    record->startSession(0, 1);
    record->addSessionRecord(held);
    for (now = 7; now < 10; now += 2) {
        record->endSession();
    }
    EXPECT_EQ(early->referenceCount(), 1);
    EXPECT_EQ(held->referenceCount(), 2);
    ASSERT_EQ(DataGathering::destroy(), WriteResult::Written);
    EXPECT_EQ(held->referenceCount(), 1);
    EXPECT_EQ(writtenSessions(), (Times{{5, 7}}));
}

TEST_F(PlatformDataGathering, ExistingFilesMergeByTheirContent) {
    const std::string ours = R"(<root><DataGathering id="DataGathering">)";
    const std::string earlier = R"(<Vector id="PlayingSessions"><PlayingSession StartTime="1" EndTime="2"/>)";
    const std::pair<std::string, Times> cases[] = {
        {"not a session file", {{3, 4}}},
        {R"(<root><Other id="Other"/></root>)", {{3, 4}}},
        {R"(<root><Integer id="DataGathering" value="1"/></root>)", {{3, 4}}},
        {ours + earlier + "</Vector></DataGathering></root>", {{1, 2}, {3, 4}}},
        {ours + earlier, {{1, 2}, {3, 4}}}, // truncated: what was read is kept
        {ours + R"(<Integer id="PlayingSessions"/></DataGathering></root>)", {}},
    };
    for (const auto& [content, expected] : cases) {
        registry.dir().write("gd.xml", content);
        ASSERT_EQ(run({{3, 4}}), WriteResult::Written) << content;
        EXPECT_EQ(writtenSessions(), expected) << content;
        EXPECT_FALSE(document->hasChild("Other")) << content;
        EXPECT_TRUE(readBack().hasChild("SystemInfo")) << content;
    }
}

// A record that was not read whole is kept once beside the one written over it; one that is there but
// cannot be read (a folder, a pipe, no permission) is left alone, and the run's sessions with it.
TEST_F(PlatformDataGathering, ADamagedRecordIsKeptAndAnUnreadableOneLeftAlone) {
    const testsupport::DebugOutput output;
    const std::string cut = R"(<root><DataGathering id="DataGathering"><Vector id="PlayingSessions">)"
                            R"(<PlayingSession StartTime="1" EndTime="2"/></Vec)";
    registry.dir().write("gd.xml", cut);
    ASSERT_EQ(run({{3, 4}}), WriteResult::Written);
    EXPECT_EQ(writtenSessions(), (Times{{1, 2}, {3, 4}}));
    EXPECT_EQ(testsupport::TempDir::read(file + ".damaged"), cut);
    EXPECT_NE(output.take().find("was not read whole; it is kept as \"" + file + ".damaged\""),
              std::string::npos);

    const std::string whole = testsupport::TempDir::read(file);
    host::testing::failCall("GetFileKind:" + file, EACCES);
    EXPECT_EQ(run({{5, 6}}), WriteResult::Skipped);
    host::testing::clearFailures();
    EXPECT_EQ(testsupport::TempDir::read(file), whole);
    EXPECT_NE(output.take().find("Reading \"" + file + "\": cannot be read"), std::string::npos);
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(run({{5, 6}}), WriteResult::Skipped);
    EXPECT_TRUE(std::filesystem::is_fifo(file));
}

TEST_F(PlatformDataGathering, RegistryPublishesTheFileOrStopsTheWrite) {
    create();
    EXPECT_EQ(testsupport::ScratchRegistry::values("Software\\Tarvo\\Games\\pibbles\\session"),
              (testsupport::RegistryValues{{"dgfilename", testsupport::textEntry(file)}}));
    EXPECT_EQ(DataGathering::destroy(), WriteResult::Written);
    for (const char* call : {"RegCreateKeyEx", "RegSetValueEx"}) {
        std::filesystem::remove(file);
        host::testing::failCall(call);
        EXPECT_EQ(run({{1, 2}}), WriteResult::Skipped) << call;
        EXPECT_FALSE(std::filesystem::exists(file)) << call;
        host::testing::clearFailures();
    }
}

// The program's own record lies in its folder, and the registry names it as the system does: its full path,
// with no separator of another system in it.
TEST_F(PlatformDataGathering, ThePublishedPathIsTheRecordsRealPath) {
    const std::string folder = kernel::applicationDirectory();
    ASSERT_FALSE(folder.empty());
    const std::string record = folder + "/gd.xml";
    std::filesystem::remove(record);
    DataGathering::create("pibbles");
    EXPECT_EQ(testsupport::ScratchRegistry::values("Software\\Tarvo\\Games\\pibbles\\session"),
              (testsupport::RegistryValues{{"dgfilename", testsupport::textEntry(record)}}));
    EXPECT_EQ(DataGathering::destroy(), WriteResult::Written);
    EXPECT_TRUE(std::filesystem::exists(record));
    std::filesystem::remove(record);
}

TEST_F(PlatformDataGathering, FailedWriteKeepsTheOldFile) {
    ASSERT_EQ(run({{1, 2}}), WriteResult::Written);
    const std::string before = testsupport::TempDir::read(file);
    create()->startSession(0, 2);
    host::testing::failCall("writeFileAtomically:rename");
    EXPECT_EQ(DataGathering::destroy(), WriteResult::Failed);
    host::testing::clearFailures();
    EXPECT_EQ(testsupport::TempDir::read(file), before);
}

} // namespace
