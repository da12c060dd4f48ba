#include "tools/mklevels/LevelTool.h"

#include "engine/kernel/SmartPtr.h"
#include "game/foundation/LevelFile.h"
#include "host/XmlParsing.h"
#include "tools/mklevels/FieldShape.h"
#include "tools/mklevels/LevelDice.h"
#include "tools/mklevels/LevelLayout.h"
#include "tools/mklevels/LevelWriter.h"
#include "tools/mklevels/TextFiles.h"

#include <tinyxml.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>
#include <string_view>

namespace mklevels {

namespace {

constexpr const char* catalogueName = "properties/levels.xml";
constexpr const char* levelsFolder = "levels";
constexpr int millisecondsPerSecond = 1000;
// Sets the start check's draws apart from the placements' under the same seed.
constexpr std::uint64_t checkStream = 0xC4EC4;

bool intAttribute(const TiXmlElement& element, const char* name, int& value) {
    const char* text = element.Attribute(name);
    if (text == nullptr) {
        return false;
    }
    const std::string_view view(text);
    const auto [end, code] = std::from_chars(view.data(), view.data() + view.size(), value);
    return code == std::errc() && end == view.data() + view.size();
}

// A name inside media/levels: no folders, no way out of it.
bool isLevelFileName(const std::string& file) {
    return file.size() > 4 && file.compare(file.size() - 4, 4, ".xml") == 0 &&
           file.find_first_of("/\\") == std::string::npos && file.front() != '.';
}

const TiXmlElement* levelsVector(const TiXmlElement& root) {
    for (const TiXmlElement* child = root.FirstChildElement("Vector"); child != nullptr;
         child = child->NextSiblingElement("Vector")) {
        const char* id = child->Attribute("id");
        if (id != nullptr && std::string(id) == "levels") {
            return child;
        }
    }
    return nullptr;
}

// One level: its plan, outline and placements, each placement written beside its place, read back by
// the game's reader and checked, until one passes.
class LevelMaker {
public:
    LevelMaker(const LevelRules& rules, const std::filesystem::path& output, LevelReport& report)
        : rules(rules), output(output), report(report) {}

    bool make(std::string& error) {
        const CatalogueRow& row = report.row;
        const std::string where = row.file + " (chapter " + std::to_string(row.chapter) + " level " +
                                  std::to_string(row.level) + ")";
        FieldShape outline;
        if (!planLevel(rules, row.chapter, row.level, report.plan, error)) {
            return false;
        }
        if (!buildShape(report.plan.shape, report.plan.rows, report.plan.columns, rules.masks, outline,
                        error)) {
            error = where + ": " + error;
            return false;
        }
        std::string reason;
        for (int attempt = 0; attempt < rules.attempts; ++attempt) {
            report.attempt = attempt;
            LevelLayout layout(outline);
            LevelDice dice(LevelDice::mixed(rules.seed, static_cast<std::uint64_t>(row.chapter),
                                            static_cast<std::uint64_t>(row.level),
                                            static_cast<std::uint64_t>(attempt)));
            const Placing placing = placeSpecials(report.plan, dice, layout, reason);
            if (placing == Placing::impossible) {
                error = where + ": " + reason;
                return false;
            }
            if (placing == Placing::retry) {
                continue;
            }
            const Written written = writeAndCheck(levelText(report.plan, layout), attempt, reason);
            if (written == Written::failed) {
                error = where + ": " + reason;
                return false;
            }
            if (written == Written::kept) {
                return true;
            }
        }
        error = where + ": none of " + std::to_string(rules.attempts) + " placements passed: " + reason;
        return false;
    }

private:
    enum class Written { kept, refused, failed };

    Written writeAndCheck(const std::string& text, int attempt, std::string& reason) {
        const std::filesystem::path target = output / report.row.file;
        const std::filesystem::path temporary = output / ("." + report.row.file + ".tmp");
        std::error_code code;
        if (!writeTextFile(temporary, text)) {
            std::filesystem::remove(temporary, code);
            reason = "cannot write " + temporary.string();
            return Written::failed;
        }
        const kernel::SmartPtr<game::LevelFile> level = new game::LevelFile(temporary.string());
        if (!readsAsPlanned(*level)) {
            std::filesystem::remove(temporary, code);
            reason = "the written file reads back otherwise than planned";
            return Written::failed;
        }
        if (!startsWithMoves(*level, attempt, reason)) {
            std::filesystem::remove(temporary, code);
            return Written::refused;
        }
        // An unchanged file keeps its time, so the build sees nothing new.
        std::string before;
        if (readTextFile(target, before) && before == text) {
            std::filesystem::remove(temporary, code);
        } else {
            std::filesystem::rename(temporary, target, code);
        }
        if (code) {
            reason = "cannot replace " + target.string() + ": " + code.message();
            return Written::failed;
        }
        return Written::kept;
    }

    bool readsAsPlanned(const game::LevelFile& level) const {
        const LevelPlan& plan = report.plan;
        return level.rowCount() == plan.rows && level.columnCount() == plan.columns &&
               level.numColors() == plan.colours && level.numMoves() == plan.moves &&
               level.time() == plan.seconds * millisecondsPerSecond &&
               level.backgroundValue("image") == plan.background;
    }

    bool startsWithMoves(const game::LevelFile& level, int attempt, std::string& reason) {
        const std::int32_t enough =
            static_cast<std::int32_t>(std::ceil(rules.minChance / 100.0 * rules.samples));
        StartOdds* odds[] = {&report.normal, &report.hard};
        int index = 0;
        for (const Difficulty& difficulty : difficultiesOf(level)) {
            const std::uint64_t seed =
                LevelDice::mixed(rules.seed ^ checkStream, static_cast<std::uint64_t>(report.row.chapter),
                                 static_cast<std::uint64_t>(report.row.level),
                                 static_cast<std::uint64_t>(attempt * 2 + index));
            StartOdds& found = *odds[index++];
            found = sampleStart(boardOfLevel(level, difficulty.colours), difficulty.moves, rules.samples,
                                enough, seed);
            if (found.good < enough) {
                reason =
                    std::string("on ") + difficulty.name + " only " + std::to_string(found.good) + " of " +
                    std::to_string(found.rounds) + " colourings give no run and " +
                    std::to_string(difficulty.moves) + " moves (" + std::to_string(enough) +
                    " wanted): more colours, more holes, fewer stubborn and chained pibbles or fewer moves";
                return false;
            }
        }
        return true;
    }

    const LevelRules& rules;
    const std::filesystem::path& output;
    LevelReport& report;
};

// An authored level is only told about: its author may want a start that the rules would refuse.
void measureAuthored(const LevelRules& rules, const std::filesystem::path& path, LevelReport& report) {
    const kernel::SmartPtr<game::LevelFile> level = new game::LevelFile(path.string());
    const std::array<Difficulty, 2> difficulties = difficultiesOf(*level);
    report.normal = sampleStart(boardOfLevel(*level, difficulties[0].colours), difficulties[0].moves,
                                rules.samples, rules.samples, rules.seed);
    report.hard = sampleStart(boardOfLevel(*level, difficulties[1].colours), difficulties[1].moves,
                              rules.samples, rules.samples, rules.seed);
}

std::string percent(double share) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100);
    return text;
}

} // namespace

bool readCatalogue(const std::filesystem::path& path, std::vector<CatalogueRow>& rows, std::string& error) {
    rows.clear();
    std::string text;
    TiXmlDocument document;
    if (!readTextFile(path, text)) {
        error = path.string() + ": cannot be read";
        return false;
    }
    if (!host::parseXmlText(document, text.c_str()) || document.Error() ||
        document.RootElement() == nullptr) {
        error = path.string() + ":" + std::to_string(document.ErrorRow()) + ": not a readable XML document";
        return false;
    }
    const TiXmlElement* levels = levelsVector(*document.RootElement());
    if (levels == nullptr) {
        error = path.string() + ": no <Vector id=\"levels\">";
        return false;
    }
    std::set<std::pair<int, int>> seen;
    for (const TiXmlElement* element = levels->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        CatalogueRow row;
        const char* file = element->Attribute("levelFile");
        row.file = file != nullptr ? file : "";
        if (!intAttribute(*element, "chapterNr", row.chapter) ||
            !intAttribute(*element, "levelNr", row.level) || !isLevelFileName(row.file)) {
            error =
                path.string() + ":" + std::to_string(element->Row()) +
                ": a level row needs a whole \"chapterNr\" and \"levelNr\" and a plain \"levelFile\" name";
            return false;
        }
        if (seen.insert({row.chapter, row.level}).second) {
            rows.push_back(row);
        }
    }
    return true;
}

bool makeLevels(const ToolOptions& options, std::vector<LevelReport>& reports, std::string& error) {
    reports.clear();
    LevelRules rules;
    std::vector<CatalogueRow> rows;
    if (!readLevelRules(options.rules, rules, error) ||
        !readCatalogue(options.media / catalogueName, rows, error)) {
        return false;
    }
    std::error_code code;
    std::filesystem::create_directories(options.output, code);
    if (!std::filesystem::is_directory(options.output)) {
        error = options.output.string() + ": cannot be made a folder";
        return false;
    }
    for (const CatalogueRow& row : rows) {
        LevelReport report;
        report.row = row;
        const std::filesystem::path authored = options.media / levelsFolder / row.file;
        report.authored = std::filesystem::exists(authored);
        if (report.authored) {
            measureAuthored(rules, authored, report);
        } else if (!LevelMaker(rules, options.output, report).make(error)) {
            return false;
        }
        reports.push_back(report);
    }
    return true;
}

std::string describe(const LevelReport& report) {
    std::string line = report.row.file + ": ";
    if (report.authored) {
        return line + "authored, left as it is; start chance " + percent(report.normal.chance()) +
               " normal, " + percent(report.hard.chance()) + " hard";
    }
    const LevelPlan& plan = report.plan;
    line += std::to_string(plan.columns) + "x" + std::to_string(plan.rows) + " " + plan.shape + ", " +
            std::to_string(plan.colours) + " colours, " + std::to_string(plan.vibs) + " VIBs (" +
            std::to_string(plan.vibStubborn) + "S " + std::to_string(plan.vibChained) + "C), " +
            std::to_string(plan.stubborn) + "s " + std::to_string(plan.chained) + "c " +
            std::to_string(plan.clowns) + "l " + std::to_string(plan.parties) + "p, " +
            std::to_string(plan.moves) + " moves, " + std::to_string(plan.seconds) + " s, " +
            plan.background + "; start chance " + percent(report.normal.chance()) + " normal, " +
            percent(report.hard.chance()) + " hard; placement " + std::to_string(report.attempt);
    return line;
}

} // namespace mklevels
