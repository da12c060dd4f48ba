#include "game/frontend/DialogStatistics.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/ui/Label.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"

#include <algorithm>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogStatistics", DialogStatistics::createInstance);

constexpr std::int32_t secondsPerHour = 3600;
constexpr std::int32_t secondsPerMinute = 60;

template <class Kind> Kind* componentOf(DialogStatistics& dialog, const char* name) {
    ui::GameNode* found = dialog.findComponent(name);
    return found != nullptr && found->isKindOf(Kind::classInfo) ? static_cast<Kind*>(found) : nullptr;
}

kernel::WideString outOf(std::int32_t done, std::int32_t total) {
    return intToWideString(done) + u" / " + intToWideString(total);
}

// A damaged profile's negative time reads as none played.
kernel::WideString playTime(std::int32_t seconds) {
    const std::int32_t played = std::max(seconds, 0);
    const std::int32_t hours = played / secondsPerHour;
    const std::int32_t minutes = played % secondsPerHour / secondsPerMinute;
    return widen(formatIntegers(propertyString(ids::hourMinuteFormat), {hours, minutes}));
}

} // namespace

DialogStatistics::DialogStatistics(kernel::NodeValue& settings) : DialogAlbumPage(settings) {
    for (std::size_t line = 0; line < values.size(); ++line) {
        captions[line] = componentOf<ui::Label>(*this, ids::statisticsCaptions[line]);
        values[line] = componentOf<ui::Label>(*this, ids::statisticsValues[line]);
    }
}

kernel::Object* DialogStatistics::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogStatistics(settings.asNode()) : nullptr;
}

void DialogStatistics::fill() {
    const PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    const std::array<kernel::WideString, lines> texts = {
        intToWideString(player->completionPercent()) + u" " +
            kernel::PropertyStore::getText(ids::textStatisticsPercent),
        intToWideString(player->numPibblesRemoved()),
        intToWideString(player->numMatches(5)),
        intToWideString(player->numMatches(6)),
        intToWideString(player->numMatches(7)),
        playTime(player->secondsPlayed()),
        intToWideString(player->biggestCombo()),
        outOf(player->vibLevelsDone(), player->vibLevelTotal()),
        outOf(player->claimedCollectableCount(), player->collectableTotal()),
    };
    for (std::size_t line = 0; line < values.size(); ++line) {
        if (values[line] != nullptr) {
            values[line]->setText(texts[line]);
        }
    }
}

} // namespace game
