#pragma once
// The ids that the game's code looks up in its data: settings and texts, resource groups and resources
// with the section each is looked up in, scenes, dialogs and the components the code finds in them. The
// code names each id through its constant here, and the content check holds the data to the lists below.

#include "engine/kernel/NamedId.h"

namespace game::ids {

// Start-up settings.
inline constexpr const char* gameId = "GAME_ID";
inline constexpr const char* groupingDigit = "STRING_GROUPING_DIGIT";
inline constexpr const char* musicLoading = "MUSIC_LOADING";
inline constexpr const char* musicSelection = "MUSIC_SELECTION";

// Texts.
inline constexpr const char* textLoadFinished = "TEXT_LOAD_FINISHED";
inline constexpr const char* textLoadTransition = "TEXT_LOAD_TRANSITION";
inline constexpr const char* textFullScreenMessage = "TEXT_FULLSCREEN_TXT";
inline constexpr const char* textFullScreenHeader = "TEXT_FULLSCREEN_HDR";

// Resource groups: the start-up waits for the first two; the loading scene requests the front end's, and
// the first start's comic strip after them.
inline constexpr const char* groupPreloading = "preloading";
inline constexpr const char* groupSceneLoad = "sceneload";
inline constexpr const char* groupDialogs = "dialogs";
inline constexpr const char* groupButtons = "buttons";
inline constexpr const char* groupSounds = "sounds";
inline constexpr const char* groupSceneSelection = "sceneselection";
inline constexpr const char* groupStrip = "strip";
inline constexpr const char* startUpGroups[] = {groupPreloading, groupSceneLoad};
inline constexpr const char* frontEndGroups[] = {groupDialogs, groupButtons, groupSounds,
                                                 groupSceneSelection};

// Resources.
inline constexpr const char* soundJingle = "SOUND_TARVO";
inline constexpr const char* fontLoadingText = "FONT_OOGIEBOOGIE_20";

// The scenes the start-up makes, the first of them shown first.
inline constexpr const char* sceneLoading = "SCENE_LOADING";
inline constexpr const char* sceneSelection = "SCENE_SELECTION";
inline constexpr const char* scenePlayVib = "SCENE_PLAY_VIB";
inline constexpr const char* scenePlayRelax = "SCENE_PLAY_RELAX";
inline constexpr const char* scenePlayAction = "SCENE_PLAY_ACTION";
inline constexpr const char* scenes[] = {sceneLoading, sceneSelection, scenePlayVib, scenePlayRelax,
                                         scenePlayAction};

// Dialogs and top-level declarations.
inline constexpr const char* dialogMessage = "DIALOG_MESSAGE";
inline constexpr const char* dialogYesNo = "DIALOG_YESNO";
inline constexpr const char* dialogLevelEnd = "DIALOG_LEVELEND";
inline constexpr const char* dialogPause = "DIALOG_PAUSE";
inline constexpr const char* defaultToolTip = "DEFAULT_TOOLTIP";

// Components of the loading scene.
inline constexpr const char* spriteLogo = "SPRITE_LOGOANIM";
inline constexpr const char* spriteLoadingBar = "SPRITE_LOADINGBAR";
inline constexpr const char* labelInfo = "LABEL_INFO";
inline constexpr const char* labelInfoBlur = "LABEL_INFO_BLUR";

// Components of the message and question boxes.
inline constexpr const char* boxMessage = "MESSAGE";
inline constexpr const char* boxHeader = "HEADER";
inline constexpr const char* buttonOk = "BUTTON_OK";
inline constexpr const char* buttonYes = "BUTTON_YES";
inline constexpr const char* buttonNo = "BUTTON_NO";

using kernel::IdKind;

inline constexpr kernel::NamedId named[] = {
    {gameId, nullptr, IdKind::String},
    {groupingDigit, nullptr, IdKind::String},
    {musicLoading, nullptr, IdKind::String},
    {musicSelection, nullptr, IdKind::String},
    {textLoadFinished, nullptr, IdKind::Text},
    {textLoadTransition, nullptr, IdKind::Text},
    {textFullScreenMessage, nullptr, IdKind::Text},
    {textFullScreenHeader, nullptr, IdKind::Text},
    {groupPreloading, nullptr, IdKind::Group},
    {groupSceneLoad, nullptr, IdKind::Group},
    {groupDialogs, nullptr, IdKind::Group},
    {groupButtons, nullptr, IdKind::Group},
    {groupSounds, nullptr, IdKind::Group},
    {groupSceneSelection, nullptr, IdKind::Group},
    {groupStrip, nullptr, IdKind::Group},
    {soundJingle, groupSceneLoad, IdKind::Sound},
    {fontLoadingText, groupPreloading, IdKind::Font},
    {sceneLoading, nullptr, IdKind::Scene},
    {sceneSelection, nullptr, IdKind::Scene},
    {scenePlayVib, nullptr, IdKind::Scene},
    {scenePlayRelax, nullptr, IdKind::Scene},
    {scenePlayAction, nullptr, IdKind::Scene},
    {dialogMessage, nullptr, IdKind::Dialog},
    {dialogYesNo, nullptr, IdKind::Dialog},
    {defaultToolTip, nullptr, IdKind::Declaration},
    {spriteLogo, sceneLoading, IdKind::Sprite},
    {spriteLoadingBar, sceneLoading, IdKind::Sprite},
    {labelInfo, sceneLoading, IdKind::Label},
    {labelInfoBlur, sceneLoading, IdKind::Label},
    {boxMessage, dialogMessage, IdKind::Label},
    {boxHeader, dialogMessage, IdKind::Label},
    {buttonOk, dialogMessage, IdKind::Button},
    {boxMessage, dialogYesNo, IdKind::Label},
    {boxHeader, dialogYesNo, IdKind::Label},
    {buttonYes, dialogYesNo, IdKind::Button},
    {buttonNo, dialogYesNo, IdKind::Button},
};

// Named by code that nothing runs yet (the play scenes open the pause, the play modes the level end): their
// declarations come with the classes that open them, and the content check checks each once it is declared.
inline constexpr kernel::NamedId awaited[] = {
    {dialogPause, nullptr, IdKind::Dialog},
    {dialogLevelEnd, nullptr, IdKind::Dialog},
};

} // namespace game::ids
