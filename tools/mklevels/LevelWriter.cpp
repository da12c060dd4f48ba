#include "tools/mklevels/LevelWriter.h"

#include <sstream>

namespace mklevels {

namespace {

constexpr int cellSize = 44;
// From a queue column to the field's nearest column: a cell and a half, so the queue stands apart.
constexpr int queueGap = 66;
constexpr int screenMiddleX = 320;
// The middle between the lines of the first and the last row: the field sits between the score at the
// top and the time bar at the bottom.
constexpr int fieldMiddleY = 288;

std::string plural(int count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "14 VIBs (2 of them stubborn, 1 chained)".
std::string vibSummary(const LevelPlan& plan) {
    std::string text = plural(plan.vibs, "VIB", "VIBs");
    if (plan.vibStubborn > 0 || plan.vibChained > 0) {
        text += " (";
        if (plan.vibStubborn > 0) {
            text += std::to_string(plan.vibStubborn) + " stubborn";
        }
        if (plan.vibChained > 0) {
            text +=
                std::string(plan.vibStubborn > 0 ? ", " : "") + std::to_string(plan.vibChained) + " chained";
        }
        text += ")";
    }
    return text;
}

std::string othersSummary(const LevelPlan& plan) {
    std::string text;
    const std::pair<int, const char*> others[] = {{plan.stubborn, " stubborn"},
                                                  {plan.chained, " chained"},
                                                  {plan.clowns, plan.clowns == 1 ? " clown" : " clowns"},
                                                  {plan.parties, " party"}};
    for (const auto& [count, kind] : others) {
        if (count > 0) {
            text += ", " + std::to_string(count) + kind;
        }
    }
    return text.empty() ? "" : text + " among the others";
}

void writeParam(std::ostringstream& out, const char* name, const std::string& value) {
    out << "        <Param name=\"" << name << "\" value=\"" << value << "\" />\n";
}

} // namespace

BackgroundGeometry geometryFor(int rows, int columns) {
    BackgroundGeometry geometry;
    geometry.fieldWidth = cellSize * columns;
    geometry.fieldHeight = cellSize * rows;
    const int span = queueGap + cellSize * (columns - 1);
    geometry.offsetXQueue1 = screenMiddleX - span / 2;
    geometry.offsetXField = geometry.offsetXQueue1 + queueGap;
    geometry.offsetXQueue2 = geometry.offsetXField + cellSize * (columns - 1) + queueGap;
    geometry.offsetY = fieldMiddleY - cellSize * (rows - 1) / 2;
    return geometry;
}

std::string levelText(const LevelPlan& plan, const LevelLayout& layout) {
    const BackgroundGeometry geometry = geometryFor(layout.rows(), layout.columns());
    std::ostringstream out;
    out << "<?xml version=\"1.0\" ?>\n"
        << "<!-- Chapter " << plan.chapter << ", level " << plan.level << ": " << vibSummary(plan)
        << othersSummary(plan) << ", " << plan.colours << " colours, shape " << plan.shape << ".\n"
        << "     Made by tools/mklevels from media/levelrules.xml: change the rules, not this file. -->\n"
        << "<Level>\n"
        << "    <Node id=\"properties\" numcolors=\"" << plan.colours << "\" nummoves=\"" << plan.moves
        << "\" time=\"" << plan.seconds << "\" />\n"
        << "    <Vector id=\"layout\">\n";
    for (int row = 1; row <= layout.rows(); ++row) {
        out << "        <Row data=\"" << layout.fileRow(row) << "\" />\n";
    }
    out << "    </Vector>\n"
        << "    <Vector id=\"background\">\n";
    writeParam(out, "image", plan.background);
    writeParam(out, "offset_y", std::to_string(geometry.offsetY));
    writeParam(out, "offset_x_field", std::to_string(geometry.offsetXField));
    writeParam(out, "offset_x_queue1", std::to_string(geometry.offsetXQueue1));
    writeParam(out, "offset_x_queue2", std::to_string(geometry.offsetXQueue2));
    writeParam(out, "field_width", std::to_string(geometry.fieldWidth));
    writeParam(out, "field_height", std::to_string(geometry.fieldHeight));
    out << "    </Vector>\n"
        << "</Level>\n";
    return out.str();
}

} // namespace mklevels
