#include "tools/mklevels/LevelRules.h"

#include "host/XmlParsing.h"
#include "tools/mklevels/FieldShape.h"
#include "tools/mklevels/TextFiles.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <string_view>

namespace mklevels {

namespace {

struct KnobInfo {
    const char* name;
    int lowest;
    int highest;
};

// The field holds at most 9 rows of 10 columns; the game plays 1 to 7 colours and adds one on hard.
constexpr KnobInfo knobs[] = {
    {"rows", 3, 9},        {"columns", 3, 10},     {"colours", 2, 7},     {"moves", 1, 20},
    {"vibs", 1, 90},       {"vibstubborn", 0, 90}, {"vibchained", 0, 90}, {"stubborn", 0, 90},
    {"chained", 0, 90},    {"clowns", 0, 90},      {"parties", 0, 90},    {"time", 0, 3600},
    {"basetime", 0, 3600}, {"pervib", 0, 600},     {"perlock", 0, 600},
};
static_assert(std::size(knobs) == knobCount);

// The knobs that are words rather than numbers.
constexpr const char* shapeKnob = "shape";
constexpr const char* backgroundKnob = "background";
constexpr const char* symmetricKnob = "symmetric";

bool parseInt(std::string_view text, int& value) {
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && code == std::errc() && end == text.data() + text.size();
}

// What may stand in a level file's attribute and comment as it is.
bool isName(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isalnum(c) != 0 || c == '_'; });
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> list;
    for (std::string word; in >> word;) {
        list.push_back(word);
    }
    return list;
}

// Reads one element, telling each problem with the file's name and the element's line.
class ElementReader {
public:
    ElementReader(const LevelRules& rules, const TiXmlElement& element, std::string& error)
        : rules(rules), element(element), error(error) {}

    bool fail(const std::string& what) const {
        error =
            rules.file.string() + ":" + std::to_string(element.Row()) + ": <" + element.Value() + "> " + what;
        return false;
    }
    // Every attribute must be one the element takes: a misspelt knob would otherwise be left out unseen.
    bool onlyKnows(const std::set<std::string>& names) const {
        for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
             attribute = attribute->Next()) {
            if (!names.contains(attribute->Name())) {
                return fail(std::string("has no knob \"") + attribute->Name() + "\"");
            }
        }
        return true;
    }
    bool has(const char* name) const { return element.Attribute(name) != nullptr; }
    std::string text(const char* name) const {
        const char* value = element.Attribute(name);
        return value != nullptr ? value : "";
    }
    bool integer(const char* name, int lowest, int highest, int& value) const {
        if (!parseInt(text(name), value) || value < lowest || value > highest) {
            return fail(std::string("\"") + name + "\" is \"" + text(name) + "\", not a whole number from " +
                        std::to_string(lowest) + " to " + std::to_string(highest));
        }
        return true;
    }
    // "n" or, where ranges are taken, "first..last".
    bool growth(const KnobInfo& knob, bool rangeAllowed, Growth& value) const {
        const std::string given = text(knob.name);
        const std::size_t dots = given.find("..");
        const bool parsed = dots == std::string::npos
                                ? parseInt(given, value.first) && parseInt(given, value.last)
                                : parseInt(std::string_view(given).substr(0, dots), value.first) &&
                                      parseInt(std::string_view(given).substr(dots + 2), value.last);
        if (!parsed) {
            return fail(std::string("\"") + knob.name + "\" is \"" + given + "\", not a whole number" +
                        (rangeAllowed ? " or a range first..last" : ""));
        }
        if (dots != std::string::npos && !rangeAllowed) {
            return fail(std::string("\"") + knob.name + "\" is a range, but a single level takes one value");
        }
        for (const int end : {value.first, value.last}) {
            if (end < knob.lowest || end > knob.highest) {
                return fail(std::string("\"") + knob.name + "\" is \"" + given + "\", outside " +
                            std::to_string(knob.lowest) + " to " + std::to_string(knob.highest));
            }
        }
        return true;
    }
    bool knobSet(bool rangeAllowed, KnobSet& set) const {
        set.line = element.Row();
        for (std::size_t i = 0; i < knobCount; ++i) {
            if (has(knobs[i].name)) {
                Growth value;
                if (!growth(knobs[i], rangeAllowed, value)) {
                    return false;
                }
                set.numbers[i] = value;
            }
        }
        if (has(shapeKnob)) {
            set.shapes = words(text(shapeKnob));
            for (const std::string& shape : set.shapes) {
                if (!isKnownShape(shape, rules.masks)) {
                    return fail("shape \"" + shape +
                                "\" is neither the generator's nor a <Shape> of the file");
                }
            }
        }
        if (has(backgroundKnob)) {
            set.backgrounds = words(text(backgroundKnob));
            for (const std::string& background : set.backgrounds) {
                if (!isName(background)) {
                    return fail("background \"" + background + "\" is no resource id (letters, digits, '_')");
                }
            }
        }
        if ((has(shapeKnob) && set.shapes.empty()) || (has(backgroundKnob) && set.backgrounds.empty())) {
            return fail("names an empty list");
        }
        if (has(symmetricKnob)) {
            const std::string value = text(symmetricKnob);
            if (value != "yes" && value != "no") {
                return fail("\"symmetric\" is \"" + value + "\", not yes or no");
            }
            set.symmetric = value == "yes";
        }
        return true;
    }

private:
    const LevelRules& rules;
    const TiXmlElement& element;
    std::string& error;
};

std::set<std::string> knobNames(std::initializer_list<const char*> extra) {
    std::set<std::string> names(extra.begin(), extra.end());
    for (const KnobInfo& knob : knobs) {
        names.insert(knob.name);
    }
    names.insert({shapeKnob, backgroundKnob, symmetricKnob});
    return names;
}

bool readRoot(const TiXmlElement& root, LevelRules& rules, std::string& error) {
    const ElementReader reader(rules, root, error);
    if (std::string(root.Value()) != "LevelRules") {
        return reader.fail("is no <LevelRules> document");
    }
    if (!reader.onlyKnows({"seed", "levels", "samples", "minchance", "attempts"})) {
        return false;
    }
    int seed = 1;
    if (reader.has("seed") && !reader.integer("seed", 0, 2147483647, seed)) {
        return false;
    }
    rules.seed = static_cast<std::uint64_t>(seed);
    if ((reader.has("levels") && !reader.integer("levels", 1, 99, rules.levelsPerChapter)) ||
        (reader.has("samples") && !reader.integer("samples", 100, 1000000, rules.samples)) ||
        (reader.has("attempts") && !reader.integer("attempts", 1, 1000, rules.attempts))) {
        return false;
    }
    if (reader.has("minchance")) {
        const std::string value = reader.text("minchance");
        char* end = nullptr;
        rules.minChance = std::strtod(value.c_str(), &end);
        if (value.empty() || end != value.c_str() + value.size() || !(rules.minChance > 0) ||
            rules.minChance > 100) {
            return reader.fail("\"minchance\" is \"" + value + "\", not a percentage above 0 up to 100");
        }
    }
    return true;
}

bool readMask(const TiXmlElement& element, LevelRules& rules, std::string& error) {
    const ElementReader reader(rules, element, error);
    const std::string name = reader.text("name");
    if (!reader.onlyKnows({"name"})) {
        return false;
    }
    if (!isName(name)) {
        return reader.fail("\"name\" is \"" + name + "\", not a name of letters, digits and '_'");
    }
    if (isKnownShape(name, {}) || rules.masks.contains(name)) {
        return reader.fail("\"" + name + "\" is given twice or is one of the generator's shapes");
    }
    ShapeMask mask;
    mask.line = element.Row();
    for (const TiXmlElement* row = element.FirstChildElement(); row != nullptr;
         row = row->NextSiblingElement()) {
        const ElementReader rowReader(rules, *row, error);
        const std::string cells = rowReader.text("cells");
        if (std::string(row->Value()) != "Row") {
            return rowReader.fail("is no <Row> of a shape");
        }
        if (!rowReader.onlyKnows({"cells"})) {
            return false;
        }
        if (cells.empty() || cells.find_first_not_of("#.") != std::string::npos ||
            (!mask.rows.empty() && cells.size() != mask.rows.front().size())) {
            return rowReader.fail("\"cells\" is \"" + cells +
                                  "\": '#' and '.' only, as long as the first row");
        }
        mask.rows.push_back(cells);
    }
    if (mask.rows.empty()) {
        return reader.fail("\"" + name + "\" has no rows");
    }
    rules.masks[name] = mask;
    return true;
}

bool readChapter(const TiXmlElement& element, LevelRules& rules, std::string& error) {
    const ElementReader reader(rules, element, error);
    int number = 0;
    KnobSet set;
    if (!reader.onlyKnows(knobNames({"number"})) || !reader.integer("number", 1, 99, number) ||
        !reader.knobSet(true, set)) {
        return false;
    }
    if (!rules.chapters.emplace(number, set).second) {
        return reader.fail("chapter " + std::to_string(number) + " is given twice");
    }
    return true;
}

bool readLevel(const TiXmlElement& element, LevelRules& rules, std::string& error) {
    const ElementReader reader(rules, element, error);
    int chapter = 0;
    int number = 0;
    KnobSet set;
    if (!reader.onlyKnows(knobNames({"chapter", "number"})) || !reader.integer("chapter", 1, 99, chapter) ||
        !reader.integer("number", 1, 99, number) || !reader.knobSet(false, set)) {
        return false;
    }
    if (!rules.levels.emplace(std::pair{chapter, number}, set).second) {
        return reader.fail("chapter " + std::to_string(chapter) + " level " + std::to_string(number) +
                           " is given twice");
    }
    return true;
}

// Shapes first: the chapters and levels name them, wherever in the file they stand.
bool readElements(const TiXmlElement& root, LevelRules& rules, std::string& error) {
    for (const TiXmlElement* child = root.FirstChildElement("Shape"); child != nullptr;
         child = child->NextSiblingElement("Shape")) {
        if (!readMask(*child, rules, error)) {
            return false;
        }
    }
    bool sawDefaults = false;
    for (const TiXmlElement* child = root.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const std::string name = child->Value();
        const ElementReader reader(rules, *child, error);
        if (name == "Defaults") {
            if (sawDefaults) {
                return reader.fail("is given twice");
            }
            sawDefaults = true;
            if (!reader.onlyKnows(knobNames({})) || !reader.knobSet(true, rules.defaults)) {
                return false;
            }
        } else if ((name == "Chapter" && !readChapter(*child, rules, error)) ||
                   (name == "Level" && !readLevel(*child, rules, error))) {
            return false;
        } else if (name != "Chapter" && name != "Level" && name != "Shape") {
            return reader.fail("is not known: <Defaults>, <Chapter>, <Level> and <Shape> are");
        }
    }
    return true;
}

} // namespace

const char* knobName(Knob knob) {
    return knobs[static_cast<std::size_t>(knob)].name;
}

int Growth::at(int level, int levels) const {
    if (levels <= 1 || level <= 1) {
        return first;
    }
    const long long step = std::min(level, levels) - 1;
    const long long span = levels - 1;
    const long long scaled = 2 * (static_cast<long long>(last) - first) * step;
    // Integer rounding, so the levels come out the same on every machine.
    const long long rounded = scaled >= 0 ? (scaled + span) / (2 * span) : (scaled - span) / (2 * span);
    return first + static_cast<int>(rounded);
}

bool readLevelRules(const std::filesystem::path& path, LevelRules& rules, std::string& error) {
    rules = LevelRules();
    rules.file = path;
    std::string text;
    if (!readTextFile(path, text)) {
        error = path.string() + ": cannot be read";
        return false;
    }
    TiXmlDocument document;
    if (!host::parseXmlText(document, text.c_str())) {
        error = path.string() + ": nested more than " + std::to_string(host::maxXmlNesting) + " deep";
        return false;
    }
    if (document.Error()) {
        error = path.string() + ":" + std::to_string(document.ErrorRow()) + ": " + document.ErrorDesc();
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        error = path.string() + ": no root element";
        return false;
    }
    return readRoot(*root, rules, error) && readElements(*root, rules, error);
}

} // namespace mklevels
