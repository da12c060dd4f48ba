// Every authored XML file parses, stays ASCII and gives no id twice.
#include "ContentCheck.h"

#include <algorithm>
#include <filesystem>

namespace content {
namespace {

// The settings, declarations and resource lists, the levels, the manifest and the level rules.
std::vector<std::string> authoredFiles() {
    std::vector<std::string> files;
    for (const char* folder : {"media/properties", "locale/properties", "media/levels"}) {
        const std::filesystem::path path = sourcePath(folder);
        if (!std::filesystem::is_directory(path)) {
            continue;
        }
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(path)) {
            if (entry.is_regular_file()) {
                files.push_back(std::string(folder) + "/" + entry.path().filename().string());
            }
        }
    }
    files.push_back(manifestFile);
    files.push_back(levelRulesFile);
    std::sort(files.begin(), files.end());
    return files;
}

// Ids that one element gives twice to its children: the settings tree keeps only the last of them.
void findDuplicateIds(const TiXmlElement& parent, const std::string& where, std::vector<std::string>& found) {
    std::set<std::string> seen;
    for (const TiXmlElement* child = parent.FirstChildElement(); child; child = child->NextSiblingElement()) {
        const char* id = child->Attribute("id");
        if (id != nullptr && !seen.insert(id).second) {
            found.push_back(where + ": id \"" + id + "\" given twice");
        }
    }
}

TEST(AuthoredFiles, ParseAndStayAscii) {
    for (const std::string& file : authoredFiles()) {
        TiXmlDocument document;
        EXPECT_EQ(parseProblem(file, document), "");
        std::string bytes;
        ASSERT_TRUE(readFile(sourcePath(file), bytes)) << file;
        const auto wide = std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
        EXPECT_EQ(wide, bytes.end()) << file << ": a byte beyond ASCII at offset " << (wide - bytes.begin());
    }
}

TEST(AuthoredFiles, NoIdIsGivenTwice) {
    std::vector<std::string> found;
    for (const char* file : {defaultSettingsFile, textsFile, dialogsFile, resourcesFile}) {
        TiXmlDocument document;
        ASSERT_EQ(parseProblem(file, document), "");
        findDuplicateIds(*document.RootElement(), file, found);
        for (const TiXmlElement* top = document.RootElement()->FirstChildElement(); top;
             top = top->NextSiblingElement()) {
            const char* id = top->Attribute("id");
            const std::string where = std::string(file) + " " + (id ? id : top->Value());
            findDuplicateIds(*top, where, found);
            // The sections and the dialogs one level further down.
            for (const TiXmlElement* inner = top->FirstChildElement(); inner;
                 inner = inner->NextSiblingElement()) {
                const char* name = inner->Attribute("name");
                if (name != nullptr && std::string(inner->Value()) == "Section") {
                    findDuplicateIds(*inner, where + " " + name, found);
                }
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

} // namespace
} // namespace content
