#pragma once
// A media folder of the tool's own in a fresh folder: a level catalogue, levels written by hand, a rules
// file, and the folder the tool writes to.

#include "tools/mklevels/LevelTool.h"

#include "TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mklevelstest {

// Small fields, few samples: quick to make and check.
inline const std::string smallRules = R"(<LevelRules seed="5" levels="3" samples="400">
    <Defaults rows="7" columns="8" colours="5" moves="2" background="BG_MEADOW" basetime="60" pervib="10" />
    <Chapter number="1" vibs="3..5" chained="0..2" stubborn="1" />
    <Chapter number="2" vibs="5..7" vibchained="1" clowns="1" shape="corners:1 arch:2" />
</LevelRules>)";

inline std::string levelName(int chapter, int level) {
    return "c" + std::string(chapter < 10 ? "0" : "") + std::to_string(chapter) + "_l0" +
           std::to_string(level) + ".xml";
}

class ToolFolder {
public:
    ToolFolder(int chapters = 2, int levels = 3, const std::string& rulesText = smallRules) {
        std::string rows;
        for (int chapter = 1; chapter <= chapters; ++chapter) {
            for (int level = 1; level <= levels; ++level) {
                rows += "<Level chapterNr=\"" + std::to_string(chapter) + "\" levelNr=\"" +
                        std::to_string(level) + "\" levelFile=\"" + levelName(chapter, level) + "\" />";
            }
        }
        dir.write("media/properties/levels.xml",
                  "<Levels><Vector id=\"levels\">" + rows + "</Vector></Levels>");
        std::filesystem::create_directories(dir.path() / "media/levels");
        rules(rulesText);
    }

    void rules(const std::string& text) const { dir.write("levelrules.xml", text); }
    void authored(const std::string& file, const std::string& text) const {
        dir.write("media/levels/" + file, text);
    }
    std::string made(const std::string& file) const { return testsupport::TempDir::read(outputPath(file)); }
    std::string outputPath(const std::string& file) const { return dir.file("out/" + file); }
    mklevels::ToolOptions options(const std::string& output = "out") const {
        return {dir.file("levelrules.xml"), dir.file("media"), dir.file(output)};
    }
    bool run(std::string& error, const std::string& output = "out") {
        return mklevels::makeLevels(options(output), reports, error);
    }
    // The names of the files in the output folder, hidden ones too.
    std::vector<std::string> outputFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "out")) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    testsupport::TempDir dir;
    std::vector<mklevels::LevelReport> reports;
};

} // namespace mklevelstest
