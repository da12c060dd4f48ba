// mklevels <rules.xml> <media-folder> <output-folder> [--report]: makes every VIB level that the level
// catalogue of the media folder names and its levels folder does not hold, from the rules, into the output
// folder; with --report it tells what each level holds and its odds of a start with moves.
#include "tools/mklevels/LevelTool.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const bool withReport = argc == 5 && std::string(argv[4]) == "--report";
    if (argc != 4 && !withReport) {
        std::cerr << "usage: mklevels <rules.xml> <media-folder> <output-folder> [--report]\n";
        return 2;
    }
    const mklevels::ToolOptions options{argv[1], argv[2], argv[3]};
    std::vector<mklevels::LevelReport> reports;
    std::string error;
    if (!mklevels::makeLevels(options, reports, error)) {
        std::cerr << "mklevels: " << error << "\n";
        return 1;
    }
    if (withReport) {
        for (const mklevels::LevelReport& report : reports) {
            std::cout << mklevels::describe(report) << "\n";
        }
    }
    return 0;
}
