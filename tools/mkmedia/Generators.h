#pragma once

#include <filesystem>
#include <map>
#include <string>

// The generators behind the manifest's entries. Each writes the file (or files) its entry names below
// the output folder and returns false with a message in `error` when it cannot.
namespace mkmedia {

// One manifest element: its tag ("font", "image", "sound", "music") and all of its attributes.
struct Entry {
    std::string element;
    std::map<std::string, std::string> attributes;

    std::string text(const std::string& name, const std::string& fallback = {}) const;
    int integer(const std::string& name, int fallback) const;
    double number(const std::string& name, double fallback) const;
    // The "file" attribute: a path relative to the output folder.
    std::string file() const { return text("file"); }
    std::string kind() const { return text("kind"); }
};

struct Context {
    std::filesystem::path outputFolder;
    // Font entries and text on pictures: where the TrueType faces are found.
    std::filesystem::path fontFolder = "/usr/share/fonts/truetype/dejavu";
    // The manifest's font entries by their "file", so a picture's "font" attribute can style its text.
    std::map<std::string, Entry> fonts;
};

[[nodiscard]] bool generateFont(const Entry& entry, const Context& context, std::string& error);
[[nodiscard]] bool generateImage(const Entry& entry, const Context& context, std::string& error);
[[nodiscard]] bool generateSound(const Entry& entry, const Context& context, std::string& error);
[[nodiscard]] bool generateMusic(const Entry& entry, const Context& context, std::string& error);

} // namespace mkmedia
