#include "tools/mklevels/LevelPlan.h"

namespace mklevels {

namespace {

constexpr int secondsStep = 5;
constexpr int fewestSeconds = 10;

// The sets that speak for the level, the most particular first.
struct Sources {
    const KnobSet* level = nullptr;
    const KnobSet* chapter = nullptr;
    const KnobSet* defaults = nullptr;

    const std::optional<Growth>& number(Knob knob) const {
        const std::size_t i = static_cast<std::size_t>(knob);
        for (const KnobSet* set : {level, chapter}) {
            if (set != nullptr && set->numbers[i]) {
                return set->numbers[i];
            }
        }
        return defaults->numbers[i];
    }
    template <typename Member> const std::vector<std::string>& list(Member member) const {
        for (const KnobSet* set : {level, chapter}) {
            if (set != nullptr && !(set->*member).empty()) {
                return set->*member;
            }
        }
        return defaults->*member;
    }
    bool symmetric() const {
        for (const KnobSet* set : {level, chapter, defaults}) {
            if (set != nullptr && set->symmetric) {
                return *set->symmetric;
            }
        }
        return false;
    }
};

int roundedSeconds(long long seconds) {
    return static_cast<int>((seconds + secondsStep / 2) / secondsStep * secondsStep);
}

} // namespace

bool planLevel(const LevelRules& rules, int chapter, int level, LevelPlan& plan, std::string& error) {
    const std::string where = "chapter " + std::to_string(chapter) + " level " + std::to_string(level);
    const auto chapterRules = rules.chapters.find(chapter);
    if (chapterRules == rules.chapters.end()) {
        error =
            rules.file.string() + ": no <Chapter number=\"" + std::to_string(chapter) + "\"> for " + where;
        return false;
    }
    Sources sources;
    sources.chapter = &chapterRules->second;
    sources.defaults = &rules.defaults;
    if (const auto own = rules.levels.find({chapter, level}); own != rules.levels.end()) {
        sources.level = &own->second;
    }
    bool complete = true;
    const auto value = [&](Knob knob, bool required) {
        const std::optional<Growth>& growth = sources.number(knob);
        if (!growth && required && complete) {
            complete = false;
            error = rules.file.string() + ":" + std::to_string(sources.chapter->line) + ": " + where +
                    " has no \"" + knobName(knob) + "\": give it in <Defaults> or in its <Chapter>";
        }
        return growth ? growth->at(level, rules.levelsPerChapter) : 0;
    };
    plan = LevelPlan();
    plan.chapter = chapter;
    plan.level = level;
    plan.rows = value(Knob::rows, true);
    plan.columns = value(Knob::columns, true);
    plan.colours = value(Knob::colours, true);
    plan.moves = value(Knob::moves, true);
    plan.vibs = value(Knob::vibs, true);
    plan.vibStubborn = value(Knob::vibStubborn, false);
    plan.vibChained = value(Knob::vibChained, false);
    plan.stubborn = value(Knob::stubborn, false);
    plan.chained = value(Knob::chained, false);
    plan.clowns = value(Knob::clowns, false);
    plan.parties = value(Knob::parties, false);
    const int fixedTime = value(Knob::time, false);
    const long long grownTime = static_cast<long long>(value(Knob::baseTime, false)) +
                                static_cast<long long>(value(Knob::perVib, false)) * plan.vibs +
                                static_cast<long long>(value(Knob::perLock, false)) * plan.locks();
    plan.seconds = fixedTime > 0 ? fixedTime : roundedSeconds(grownTime);
    const std::vector<std::string>& shapes = sources.list(&KnobSet::shapes);
    const std::vector<std::string>& backgrounds = sources.list(&KnobSet::backgrounds);
    plan.symmetric = sources.symmetric();
    if (!complete) {
        return false;
    }
    const std::string file = rules.file.string() + ":" + std::to_string(sources.chapter->line) + ": " + where;
    if (backgrounds.empty()) {
        error = file + " has no \"background\": give it in <Defaults> or in its <Chapter>";
        return false;
    }
    if (plan.vibStubborn + plan.vibChained > plan.vibs) {
        error = file + ": " + std::to_string(plan.vibStubborn + plan.vibChained) +
                " of its VIBs are stubborn or chained, but it has only " + std::to_string(plan.vibs);
        return false;
    }
    if (plan.seconds < fewestSeconds) {
        error = file + " gets " + std::to_string(plan.seconds) + " seconds: \"time\", or \"basetime\" with " +
                "\"pervib\" and \"perlock\", must give it " + std::to_string(fewestSeconds) + " at least";
        return false;
    }
    const std::size_t turn = static_cast<std::size_t>(level - 1);
    plan.shape = shapes.empty() ? "full" : shapes[turn % shapes.size()];
    plan.background = backgrounds[turn % backgrounds.size()];
    return true;
}

} // namespace mklevels
