#pragma once
// The ids that the game's code looks up in its data: settings and texts, resource groups and resources
// with the section each is looked up in, scenes, dialogs and the components the code finds in them. The
// code names each id through its constant here, and the content check holds the data to the lists below.

#include "engine/kernel/NamedId.h"

#include <array>

namespace game::ids {

// Start-up settings.
inline constexpr const char* gameId = "GAME_ID";
inline constexpr const char* groupingDigit = "STRING_GROUPING_DIGIT";
inline constexpr const char* musicLoading = "MUSIC_LOADING";
inline constexpr const char* musicSelection = "MUSIC_SELECTION";

// Tuning: the normal-difficulty progress that unlocks each mode's hard difficulty (the VIB chapter, the
// ACTION and RELAX level).
inline constexpr const char* cfgHardModeUnlockVib = "CFG_HARDMODE_UNLOCK_VIB";
inline constexpr const char* cfgHardModeUnlockAction = "CFG_HARDMODE_UNLOCK_ACTION";
inline constexpr const char* cfgHardModeUnlockRelax = "CFG_HARDMODE_UNLOCK_RELAX";
// Tuning: the x that splits the field renderer's left dirty area from its right one.
inline constexpr const char* cfgRenderBorder = "CFG_RENDER_BORDERLEFTRIGHT";
// Tuning: how much darker a stubborn pibble's parts are, by colour 1 to 7 (0 = not at all).
inline constexpr const char* cfgDarkFactorYellow = "CFG_DARKFACTOR_YELLOW";
inline constexpr const char* cfgDarkFactorBlue = "CFG_DARKFACTOR_BLUE";
inline constexpr const char* cfgDarkFactorRed = "CFG_DARKFACTOR_RED";
inline constexpr const char* cfgDarkFactorWhite = "CFG_DARKFACTOR_WHITE";
inline constexpr const char* cfgDarkFactorGreen = "CFG_DARKFACTOR_GREEN";
inline constexpr const char* cfgDarkFactorPurple = "CFG_DARKFACTOR_PURPLE";
inline constexpr const char* cfgDarkFactorOrange = "CFG_DARKFACTOR_ORANGE";
inline constexpr const char* cfgDarkFactors[] = {cfgDarkFactorYellow, cfgDarkFactorBlue,  cfgDarkFactorRed,
                                                 cfgDarkFactorWhite,  cfgDarkFactorGreen, cfgDarkFactorPurple,
                                                 cfgDarkFactorOrange};

// Texts.
inline constexpr const char* textLoadFinished = "TEXT_LOAD_FINISHED";
inline constexpr const char* textLoadTransition = "TEXT_LOAD_TRANSITION";
inline constexpr const char* textFullScreenMessage = "TEXT_FULLSCREEN_TXT";
inline constexpr const char* textFullScreenHeader = "TEXT_FULLSCREEN_HDR";

// Resource groups: the start-up waits for the first two; the loading scene requests the front end's (the
// selection scene's only after its logo has played), and the first start's comic strip after them.
inline constexpr const char* groupPreloading = "preloading";
inline constexpr const char* groupSceneLoad = "sceneload";
inline constexpr const char* groupDialogs = "dialogs";
inline constexpr const char* groupButtons = "buttons";
inline constexpr const char* groupSounds = "sounds";
inline constexpr const char* groupSceneSelection = "sceneselection";
inline constexpr const char* groupStrip = "strip";
// The levels' pictures, loaded one by one when a level asks for them.
inline constexpr const char* groupBackgrounds = "backgrounds";
inline constexpr const char* groupElements = "elements";
// The play scenes' pictures, and the pibbles' parts and effects.
inline constexpr const char* groupScenePlay = "sceneplay";
inline constexpr const char* groupPibbles = "pibbles";
inline constexpr const char* startUpGroups[] = {groupPreloading, groupSceneLoad};
inline constexpr const char* frontEndGroups[] = {groupDialogs, groupButtons, groupSounds,
                                                 groupSceneSelection};

// Resources.
inline constexpr const char* soundJingle = "SOUND_TARVO";
// The loading scene's logo: 13 frames side by side, the last one the logo at rest.
inline constexpr const char* imageLoadingLogo = "IMAGE_LOADING_LOGO";
inline constexpr const char* fontLoadingText = "FONT_OOGIEBOOGIE_20";
// The selection scene's welcome and change-name fonts with their glows: declared to read their pixels only
// when first drawn, since a first start shows them only after the comic and the new player's name.
inline constexpr const char* fontsShownWithAPlayer[] = {"FONT_WELCOME_22", "FONT_WELCOME_22_GLOW",
                                                        "FONT_CHANGENAME_18", "FONT_CHANGENAME_18_GLOW"};
// The sparkle: a strip of 14 frames side by side whose red lane holds the shape.
inline constexpr const char* imageSparkle = "SPARKLE";
// The star that flies to a party pibble; the game shrinks it to 30 x 30 about its centre.
inline constexpr const char* imageBigPartyStar = "BIGPARTYSTAR";
// A match's particles: this prefix and the match's colour 1 to particleColours, drawn about their centre.
inline constexpr const char* imageParticlePrefix = "PARTICLE_";
inline constexpr int particleColours = 8;

// The pibbles' pictures, all in "pibbles". Strips of several frames lie one below the other, every frame
// pibbleFrameWidth x pibbleFrameHeight with the feet at (48, 101). A colour's parts are named by its prefix
// (colours 1 to 8) followed by the part's name.
inline constexpr int pibbleFrameWidth = 100;
inline constexpr int pibbleFrameHeight = 125;
inline constexpr const char* pibbleColourPrefixes[] = {"PIBBLE_YELLOW", "PIBBLE_BLUE",  "PIBBLE_RED",
                                                       "PIBBLE_WHITE",  "PIBBLE_GREEN", "PIBBLE_PURPLE",
                                                       "PIBBLE_ORANGE", "PIBBLE_CLOWN"};
inline constexpr const char* pibbleFeet = "_FEET";
inline constexpr const char* pibbleBody = "_BODY";
inline constexpr const char* pibbleHead = "_HEAD";
inline constexpr const char* pibbleEars = "_EARS";
inline constexpr const char* pibbleHeadStubborn = "_HEAD_STUBBORN";
inline constexpr const char* pibbleHeadHappy = "_HEAD_HAPPY";
inline constexpr const char* pibbleHeadUnhappy = "_HEAD_UNHAPPY";
// Ears and head of the "no" head shake.
inline constexpr const char* pibbleEarsShakeNo = "_EARS_SHAKENO";
inline constexpr const char* pibbleHeadShakeNo = "_HEAD_SHAKENO";
inline constexpr const char* pibblePartyHat = "_PARTY";
inline constexpr const char* pibblePartyBack = "_PARTYBACK";
inline constexpr const char* pibbleVibStatic = "_VIBSTATIC";
inline constexpr const char* pibbleVibShine = "_VIBSHINE";
// A picture the code cuts into a number of frames of a pibble's size.
struct PibbleStrip {
    const char* name;
    int frames;
};
inline constexpr PibbleStrip pibbleColourParts[] = {
    {pibbleFeet, 1},         {pibbleBody, 1},      {pibbleHead, 1},        {pibbleEars, 3},
    {pibbleHeadStubborn, 1}, {pibbleHeadHappy, 1}, {pibbleHeadUnhappy, 1}, {pibbleEarsShakeNo, 10},
    {pibbleHeadShakeNo, 10}, {pibblePartyHat, 1},  {pibblePartyBack, 23},  {pibbleVibStatic, 1},
    {pibbleVibShine, 8}};
// A collectable pibble's parts, single frames: this prefix, the collectable's number (1 to
// collectableCount), then the part's name.
inline constexpr const char* pibbleCollectablePrefix = "PIBBLE_COLLECTABLE_";
inline constexpr const char* pibbleCollectableParts[] = {pibbleFeet, pibbleBody, pibbleHead, pibbleEars};
inline constexpr int collectableCount = 30;
// What every pibble shares.
inline constexpr const char* pibbleShadow = "PIBBLE_SHADOW";
inline constexpr const char* pibbleDust = "PIBBLE_DUST";
inline constexpr const char* pibbleHoleOpen = "PIBBLE_HOLE_OPEN";
inline constexpr const char* pibbleHoleClose = "PIBBLE_HOLE_CLOSE";
inline constexpr const char* pibbleSwoosh = "PIBBLE_SWOOSH";
inline constexpr const char* pibbleVibMatch = "PIBBLE_VIBMATCH";
inline constexpr const char* pibbleStubbornMatch = "PIBBLE_STUBBORNMATCH";
inline constexpr const char* pibbleComboMatch = "PIBBLE_COMBOMATCH";
inline constexpr const char* pibbleBlink = "PIBBLE_BLINK_DEF";
inline constexpr const char* pibbleDechain = "PIBBLE_DECHAIN";
inline constexpr const char* pibbleStubborn = "PIBBLE_STUBBORN";
inline constexpr const char* pibbleClownGlow = "PIBBLE_CLOWNGLOW";
// White and opaque where a click takes a pibble, transparent black elsewhere.
inline constexpr const char* pibbleHitMask = "PIBBLE_HITMASK";
inline constexpr PibbleStrip pibbleSharedParts[] = {
    {pibbleShadow, 1},  {pibbleDust, 10},    {pibbleHoleOpen, 4},      {pibbleHoleClose, 4},
    {pibbleSwoosh, 10}, {pibbleVibMatch, 6}, {pibbleStubbornMatch, 6}, {pibbleComboMatch, 1},
    {pibbleBlink, 1},   {pibbleDechain, 7},  {pibbleStubborn, 10},     {pibbleClownGlow, 13},
    {pibbleHitMask, 1}};
// The burst of a party match: this prefix and the party colour 1 to partyColours, drawn about the middle
// of its frames.
inline constexpr const char* pibblePartyMatchPrefix = "PIBBLE_PARTYMATCH";
inline constexpr int pibblePartyMatchFrames = 6;
inline constexpr int partyColours = 7;

// The scenes the start-up makes, the first of them shown first.
inline constexpr const char* sceneLoading = "SCENE_LOADING";
inline constexpr const char* sceneSelection = "SCENE_SELECTION";
inline constexpr const char* scenePlayVib = "SCENE_PLAY_VIB";
inline constexpr const char* scenePlayRelax = "SCENE_PLAY_RELAX";
inline constexpr const char* scenePlayAction = "SCENE_PLAY_ACTION";
inline constexpr const char* scenes[] = {sceneLoading, sceneSelection, scenePlayVib, scenePlayRelax,
                                         scenePlayAction};

// The modes' tuning: the ACTION unhappy pibble's warning, the VIB hint button's rest after a hint and the
// clock's sounds (ms); the hint penalties (a fraction of the goal, or of the VIB level's time).
inline constexpr const char* cfgPibbleUnhappyDuration = "CFG_PIBBLE_UNHAPPY_DURATION";
inline constexpr const char* cfgHintNoClickTimer = "CFG_HINT_NOCLICKTIMER";
inline constexpr const char* cfgSoundStartCounting = "CFG_SOUND_STARTCOUNTING";
inline constexpr const char* cfgSoundStartTicking = "CFG_SOUND_STARTTICKING";
inline constexpr const char* cfgHintPenaltyAction = "CFG_HINT_PENALTY_ACTION";
inline constexpr const char* cfgHintPenaltyRelax = "CFG_HINT_PENALTY_RELAX";
inline constexpr const char* cfgHintPenaltyVib = "CFG_HINT_PENALTY_VIB";
// The level end's boxes (closed by their message keys) and the notices of an unlocked hard mode.
inline constexpr const char* textGameFinished = "TEXT_GAMEFINISHED_TXT";
inline constexpr const char* textGameFinishedHeader = "TEXT_GAMEFINISHED_HDR";
inline constexpr const char* textGameFailedAction = "TEXT_GAMEFAILED_TXT_ACTION";
inline constexpr const char* textGameFailedRelax = "TEXT_GAMEFAILED_TXT_RELAX";
inline constexpr const char* textGameFailedVib = "TEXT_GAMEFAILED_TXT_VIB";
inline constexpr const char* textUnlockVibHardMode = "TEXT_UNLOCK_VIB_HARDMODE";
inline constexpr const char* textUnlockActionHardMode = "TEXT_UNLOCK_ACTION_HARDMODE";
inline constexpr const char* textUnlockRelaxHardMode = "TEXT_UNLOCK_RELAX_HARDMODE";
// The highscore tables of the modes.
inline constexpr const char* scoreTableVib = "VIB";
inline constexpr const char* scoreTableAction = "ACTION";
inline constexpr const char* scoreTableRelax = "RELAX";
// By game mode: 0 VIB, 1 ACTION, 2 RELAX.
inline constexpr const char* scoreTables[] = {scoreTableVib, scoreTableAction, scoreTableRelax};

// The level-end dialog: its parts, the carrot's bite masks and crumbs ("dialogs"), the bites' sounds, and
// its texts; the quit question.
inline constexpr const char* spriteWhiteBar = "SPRITE_WHITEBAR";
inline constexpr const char* spriteCarrot = "SPRITE_CARROT";
inline constexpr const char* spriteCarrotFront = "SPRITE_CARROT_FRONT";
inline constexpr const char* spriteCarrotBack = "SPRITE_CARROT_BACK";
inline constexpr const char* buttonContinue = "BUTTON_CONTINUE";
inline constexpr const char* labelText = "LABEL_TXT";
inline constexpr const char* labelTryAgain = "LABEL_TRYAGAIN";
inline constexpr int carrotBites = 13;
inline constexpr const char* carrotMaskPrefix = "CARROT";
inline constexpr int carrotCrumbKinds = 3;
inline constexpr const char* carrotCrumbPrefix = "CARROT_PARTICLE_";
inline constexpr int biteSounds = 4;
inline constexpr const char* soundBiteCarrotPrefix = "SOUND_BITECARROT";
inline constexpr const char* textGameFailedHeader = "TEXT_GAMEFAILED_HDR";
inline constexpr const char* textChapterFinishedHeader = "TEXT_CHAPTERFINISHED_HDR";
inline constexpr const char* textGameFailedTryAgain = "TEXT_GAMEFAILED_TRYAGAIN";
inline constexpr const char* textQuit = "TEXT_QUIT_TXT";
inline constexpr const char* textQuitHeader = "TEXT_QUIT_HDR";
// Told as the player leaves a game whose last save failed.
inline constexpr const char* textSaveFailed = "TEXT_SAVEFAILED_TXT";
inline constexpr const char* textSaveFailedHeader = "TEXT_SAVEFAILED_HDR";

// The VIB chapter map: per chapter n a path line "SPRITE_LINE<n>", a button "BUTTON_<n>" and a photo
// "PHOTO_<n>"; the head, the book, the hint bubble ("sceneprogress") and the paths' file.
inline constexpr int chapterCount = 10;
inline constexpr const char* spriteLinePrefix = "SPRITE_LINE";
inline constexpr const char* chapterButtonPrefix = "BUTTON_";
inline constexpr const char* chapterPhotoPrefix = "PHOTO_";
inline constexpr const char* spriteButtonAppear = "SPRITE_BUTTONAPPEAR";
inline constexpr const char* spritePlayerShine = "SPRITE_PLAYERSHINE";
inline constexpr const char* buttonHead = "BUTTON_HEAD";
inline constexpr const char* buttonHeadSmile = "BUTTON_HEAD_SMILE";
inline constexpr const char* buttonBook = "BUTTON_BOOK";
inline constexpr const char* hintBackground = "HINT_BACKGROUND";
inline constexpr const char* hintLabel = "HINT_LABEL";
inline constexpr const char* labelChooseChapter = "LABEL_CHOOSECHAPTER";
inline constexpr const char* labelChooseChapterBlur = "LABEL_CHOOSECHAPTER_BLUR";
inline constexpr const char* groupSceneProgress = "sceneprogress";
inline constexpr const char* imageHintDialogLeft = "IMAGE_HINTDIALOG_LEFT";
inline constexpr const char* imageHintDialogRight = "IMAGE_HINTDIALOG_RIGHT";
inline constexpr const char* soundChapterFinished = "SOUND_CHAPTER_FINISHED";
inline constexpr const char* soundPhotoAppears = "SOUND_PHOTO_APPEARS";
inline constexpr const char* soundArrive = "SOUND_ARRIVE";
inline constexpr const char* tooltipProgressPhoto = "TOOLTIP_PROGRESS_PHOTO";
inline constexpr const char* progressFile = "media/properties/progress.xml";

// The in-game menu's buttons, and the pause over a play scene: its "continue" text, its fades (ms) and
// sounds; its picture lies in "scenepause". Dialogs that appear and go play the two dialog sounds.
inline constexpr const char* buttonHelp = "BUTTON_HELP";
inline constexpr const char* buttonAlbum = "BUTTON_ALBUM";
inline constexpr const char* buttonSettings = "BUTTON_SETTINGS";
inline constexpr const char* buttonQuit = "BUTTON_QUIT";
inline constexpr const char* labelPauseContinue = "LABEL_PAUSE_CONTINUE";
inline constexpr const char* cfgPauseFadeIn = "CFG_PAUSESCENE_FADEIN";
inline constexpr const char* cfgPauseFadeOut = "CFG_PAUSESCENE_FADEOUT";
inline constexpr const char* groupScenePause = "scenepause";
inline constexpr const char* soundPause = "SOUND_PAUSE";
inline constexpr const char* soundUnpause = "SOUND_UNPAUSE";
inline constexpr const char* soundDialogAppears = "SOUND_DIALOG_APPEARS";
inline constexpr const char* soundDialogDisappears = "SOUND_DIALOG_DISAPPEARS";

// The settings: two volume sliders over 0..255, the full-screen and show-hints switches, and the plop
// whose pitch steps with the effects volume ("SOUND_PLOP1" to "SOUND_PLOP8" of "sounds").
inline constexpr const char* dialogSettings = "DIALOG_SETTINGS";
inline constexpr const char* buttonCancel = "BUTTON_CANCEL";
inline constexpr const char* buttonInfo = "BUTTON_INFO";
inline constexpr const char* sliderSoundVolume = "SETTINGS_SLIDER_SOUND_VOLUME";
inline constexpr const char* sliderMusicVolume = "SETTINGS_SLIDER_MUSIC_VOLUME";
inline constexpr const char* switchFullScreen = "SETTINGS_SWITCH_FULLSCREEN";
inline constexpr const char* switchShowHints = "SETTINGS_SWITCH_SHOWHINTS";
inline constexpr const char* soundPlopPrefix = "SOUND_PLOP";
inline constexpr int plopSounds = 8;

// The help: a page per entry of the two text lists (header and markup contents), the contents in a
// scroll panel, and the page indicator's format (page, count).
inline constexpr const char* dialogHelp = "DIALOG_HELP";
// The help's fonts, pictures and scroll bar, read as a help is made and let go with it.
inline constexpr const char* groupHelp = "help";
inline constexpr const char* labelIndex = "LABEL_IDX";
inline constexpr const char* labelContents = "LABEL_CONTENTS";
inline constexpr const char* scrollPanel = "SCROLLPANEL";
inline constexpr const char* helpHeaders = "HELP_HEADERS";
inline constexpr const char* helpContents = "HELP_CONTENTS";
inline constexpr const char* textPageFormat = "TEXT_PAGE_FORMAT";

// The end of the VIB game: its full-screen picture, and the glint (6 frames, "sceneplay") blinking on it;
// its falling particles are the match particles 1 to 6.
inline constexpr const char* gameEndBackground = "BACKGROUND";
inline constexpr const char* imageBlinkShine = "BLINKSHINE";
inline constexpr int gameEndParticleKinds = 6;

// The selection scene: the three modes' buttons (the VIB one under its pulsing highlight), the help,
// album, settings and leave buttons, the welcome text with its blurred copy and the change-name button.
inline constexpr const char* spriteVibHighlight = "SPRITE_VIB_HIGHLIGHT";
inline constexpr const char* buttonAction = "BUTTON_ACTION";
inline constexpr const char* buttonRelax = "BUTTON_RELAX";
inline constexpr const char* buttonVib = "BUTTON_VIB";
inline constexpr const char* buttonLeave = "BUTTON_LEAVE";
inline constexpr const char* buttonChangeName = "BUTTON_CHANGENAME";
inline constexpr const char* labelChangeNameBlur = "LABEL_CHANGENAME_BLUR";
inline constexpr const char* labelWelcome = "LABEL_WELCOME";
inline constexpr const char* labelWelcomeBlur = "LABEL_WELCOME_BLUR";
inline constexpr const char* textWelcome = "TEXT_WELCOME";
inline constexpr const char* textWelcomeChangeName = "TEXT_WELCOME_CHANGENAME";
inline constexpr const char* textLeave = "TEXT_LEAVE_TXT";
inline constexpr const char* textLeaveHeader = "TEXT_LEAVE_HDR";
inline constexpr const char* textAutoContinue = "TEXT_AUTOCONTINUE_TXT";
inline constexpr const char* textAutoContinueHeader = "TEXT_AUTOCONTINUE_HDR";
inline constexpr const char* textSavegame = "TEXT_SAVEGAME_TXT";
inline constexpr const char* textSavegameHeader = "TEXT_SAVEGAME_HDR";
inline constexpr const char* textDifficulty = "TEXT_DIFFICULTY_TXT";
inline constexpr const char* textDifficultyHeader = "TEXT_DIFFICULTY_HDR";
inline constexpr const char* textUnlockHeader = "TEXT_UNLOCK_HDR";
// The difficulty question: a plain dialog whose texts the selection scene sets.
inline constexpr const char* dialogDifficulty = "DIALOG_DIFFICULTY";
inline constexpr const char* buttonNormal = "BUTTON_NORMAL";
inline constexpr const char* buttonHard = "BUTTON_HARD";

// The player profiles: the list of at most five rows with the marker beside the selected one, and the
// new player's name input (its font decides the characters it takes).
inline constexpr const char* dialogProfile = "DIALOG_PROFILE";
inline constexpr const char* dialogProfileCreate = "DIALOG_PROFILECREATE";
inline constexpr int profileRows = 5;
inline constexpr const char* inputMarker = "INPUT_MARKER";
inline constexpr const char* buttonNew = "BUTTON_NEW";
inline constexpr const char* buttonDelete = "BUTTON_DEL";
inline constexpr const char* buttonInputPrefix = "BUTTON_INPUT_";
inline constexpr const char* labelInputPrefix = "LABEL_INPUT_";
inline constexpr const char* inputLabelName = "INPUTLABEL_NAME";
inline constexpr const char* cfgInputLabelOffsetX = "CFG_INPUTLABEL_OFFSET_X";
inline constexpr const char* cfgInputLabelOffsetY = "CFG_INPUTLABEL_OFFSET_Y";
inline constexpr const char* textProfileDelete = "TEXT_PROFILEDELETE_TXT";
inline constexpr const char* textProfileDeleteHeader = "TEXT_PROFILEDELETE_HDR";
// Said when a new player's name could only stand for a folder ("." or "..").
inline constexpr const char* textProfileNameInvalid = "TEXT_PROFILENAME_INVALID";
inline constexpr const char* soundKey = "SOUND_KEY";

// The first start's comic strip: its page sprite, the next button with its shine, and the pages
// "STRIP1" to "STRIP4" of "strip".
inline constexpr const char* dialogStrip = "DIALOG_STRIP";
inline constexpr const char* spriteStrip = "STRIP";
inline constexpr const char* buttonNextShine = "BUTTON_NEXT_SHINE";
inline constexpr const char* stripPagePrefix = "STRIP";
inline constexpr int stripPages = 4;

// The pibble that walks across the selection scene when its code is typed ("pibbles").
inline constexpr const char* pibbleVisitor = "PIBBLE_VISITOR";

// Dialogs and top-level declarations.
inline constexpr const char* dialogMessage = "DIALOG_MESSAGE";
inline constexpr const char* dialogYesNo = "DIALOG_YESNO";
inline constexpr const char* dialogLevelEnd = "DIALOG_LEVELEND";
inline constexpr const char* dialogPause = "DIALOG_PAUSE";
// While it is open the field is not drawn.
inline constexpr const char* dialogProgress = "DIALOG_PROGRESS";
inline constexpr const char* defaultToolTip = "DEFAULT_TOOLTIP";
// After the last VIB level.
inline constexpr const char* dialogGameEnd = "DIALOG_GAMEEND";

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

// The hints a player can switch off one by one, keyed by their texts; the profile keeps one switch each, in
// this order. The game's switch for all hints leaves the two collectable hints alone.
inline constexpr const char* hintVib = "TEXT_HINT_VIB";
inline constexpr const char* hintClickFailed = "TEXT_HINT_CLICK_FAILED";
inline constexpr const char* hintClickTimer = "TEXT_HINT_CLICK_TIMER";
inline constexpr const char* hintClickQueue = "TEXT_HINT_CLICK_QUEUE";
inline constexpr const char* hintClickChained = "TEXT_HINT_CLICK_CHAINED";
inline constexpr const char* hintClickParty = "TEXT_HINT_CLICK_PARTY";
inline constexpr const char* hintClickClown = "TEXT_HINT_CLICK_CLOWN";
inline constexpr const char* hintClickStubborn = "TEXT_HINT_CLICK_STUBBORN";
inline constexpr const char* hintClickCollectable = "TEXT_HINT_CLICK_COLLECTABLE";
inline constexpr const char* hintAppearChained = "TEXT_HINT_ONAPPEAR_CHAINED";
inline constexpr const char* hintAppearParty = "TEXT_HINT_ONAPPEAR_PARTY";
inline constexpr const char* hintAppearClown = "TEXT_HINT_ONAPPEAR_CLOWN";
inline constexpr const char* hintAppearStubbornAction = "TEXT_HINT_ONAPPEAR_STUBBORN_ACTION";
inline constexpr const char* hintAppearStubbornRelax = "TEXT_HINT_ONAPPEAR_STUBBORN_RELAX";
inline constexpr const char* hintAppearStubbornRelax2 = "TEXT_HINT_ONAPPEAR_STUBBORN_RELAX2";
inline constexpr const char* hintAppearStubbornVib = "TEXT_HINT_ONAPPEAR_STUBBORN_VIB";
inline constexpr const char* hintAppearCollectable = "TEXT_HINT_ONAPPEAR_COLLECTABLE";
inline constexpr const char* hintAppearUnhappy = "TEXT_HINT_ONAPPEAR_UNHAPPY";
inline constexpr const char* hintTimeBarAction = "TEXT_HINT_TIMEBAR_ACTION";
inline constexpr const char* hintTimeBarRelax = "TEXT_HINT_TIMEBAR_RELAX";
inline constexpr const char* hintTimeBarVib = "TEXT_HINT_TIMEBAR_VIB";
inline constexpr const char* hints[] = {hintVib,
                                        hintClickFailed,
                                        hintClickTimer,
                                        hintClickQueue,
                                        hintClickChained,
                                        hintClickParty,
                                        hintClickClown,
                                        hintClickStubborn,
                                        hintClickCollectable,
                                        hintAppearChained,
                                        hintAppearParty,
                                        hintAppearClown,
                                        hintAppearStubbornAction,
                                        hintAppearStubbornRelax,
                                        hintAppearStubbornRelax2,
                                        hintAppearStubbornVib,
                                        hintAppearCollectable,
                                        hintAppearUnhappy,
                                        hintTimeBarAction,
                                        hintTimeBarRelax,
                                        hintTimeBarVib};

// The play field. Tuning: how far left or right of its column a removed pibble leaves the screen (x moves
// by MIN plus a draw below MAX - MIN), the pibble animator's timers and the blink's length (ms), the
// clown glow's and the chain's frame steps (ms), the jump's and the hop's time (ms), height (pixels) and
// landing bounce (ms), and the gap between the copies a jump leaves behind (pixels).
inline constexpr const char* cfgRemoveSpreadMin = "CFG_PIBBLE_REMOVE_SPREAD_MIN";
inline constexpr const char* cfgRemoveSpreadMax = "CFG_PIBBLE_REMOVE_SPREAD_MAX";
inline constexpr const char* cfgBlinkDuration = "CFG_PIBBLEANIMATOR_BLINK_DURATION";
inline constexpr const char* cfgBlinkInterval = "CFG_PIBBLEANIMATOR_BLINK_INTERVAL";
inline constexpr const char* cfgBlinkRandomize = "CFG_PIBBLEANIMATOR_BLINK_RANDOMIZE";
inline constexpr const char* cfgStubbornInterval = "CFG_PIBBLEANIMATOR_STUBBORN_INTERVAL";
inline constexpr const char* cfgStubbornRandomize = "CFG_PIBBLEANIMATOR_STUBBORN_RANDOMIZE";
inline constexpr const char* cfgVibInterval = "CFG_PIBBLEANIMATOR_VIB_INTERVAL";
inline constexpr const char* cfgVibRandomize = "CFG_PIBBLEANIMATOR_VIB_RANDOMIZE";
inline constexpr const char* cfgClownGlowFrameDelay = "CFG_PIBBLE_CLOWNGLOW_FRAMEDELAY";
inline constexpr const char* cfgDechainFrameDelay = "CFG_PIBBLE_DECHAIN_FRAMEDELAY";
inline constexpr const char* cfgJumpDuration = "CFG_PIBBLE_JUMP_DURATION";
inline constexpr const char* cfgJumpHeight = "CFG_PIBBLE_JUMP_HEIGHT";
inline constexpr const char* cfgJumpTrailInterval = "CFG_PIBBLE_JUMP_TRAILINTERVAL";
inline constexpr const char* cfgJumpBounce = "CFG_PIBBLE_JUMP_DURATION_BOUNCE";
inline constexpr const char* cfgHupDuration = "CFG_PIBBLE_HUP_DURATION";
inline constexpr const char* cfgHupHeight = "CFG_PIBBLE_HUP_HEIGHT";
inline constexpr const char* cfgHupBounce = "CFG_PIBBLE_HUP_DURATION_BOUNCE";
// The field's sounds.
inline constexpr const char* groupGameSounds = "gamesounds";
inline constexpr const char* soundFocus = "SOUND_FOCUS";
inline constexpr const char* soundJumpDown = "SOUND_JUMP_DOWN";
inline constexpr const char* soundJumpOffScreen = "SOUND_JUMP_OFFSCREEN";
inline constexpr const char* soundJumpHorizontal = "SOUND_JUMP_HORIZONTAL";
inline constexpr const char* soundJumpHup = "SOUND_JUMP_HUP";
inline constexpr const char* soundJumpHupEndLevel = "SOUND_JUMP_HUP_ENDLEVEL";
// The rules of the field. Tuning: moves in a row without a match before the player is reminded (below 1:
// never); where a removal's points show, from the average of its cells; the most colourings a refill
// tries for a possible move; pibbles made since the last collectable before the next may go on the field;
// how long (ms) a used hint rests.
inline constexpr const char* cfgHintNoMatchCount = "CFG_HINT_NOMATCHCOUNT";
inline constexpr const char* cfgFloaterOffsetX = "CFG_PIBBLEFLOATER_OFFSET_X";
inline constexpr const char* cfgFloaterOffsetY = "CFG_PIBBLEFLOATER_OFFSET_Y";
inline constexpr const char* cfgMaxPermutationTries = "CFG_MAXPERMUTATIONTRIES";
inline constexpr const char* cfgCollectableCounter = "CFG_COLLECTABLE_COUNTER";
inline constexpr const char* cfgHintEnabledDelay = "CFG_HINT_ENABLEDDELAY";
// A move that matched nothing.
inline constexpr const char* soundMatchWrong = "SOUND_MATCH_WRONG";

// The play scenes. Music, and the tuning: the field's rectangle on the screen (READY and GO stand in its
// middle; a combo sign's place in the band below is carried over from the match's place in it), the band
// of the combo signs, how long a finished level rests before its end is told (ms), how fast the score
// counter counts (ms per step), how the score floaters move (0 to 9), and how far above a new clown or
// party pibble its sign rises from.
inline constexpr const char* musicGame = "MUSIC_GAME";
inline constexpr const char* cfgRectComboOutMinX = "CFG_RECTCOMBO_OUT_MINX";
inline constexpr const char* cfgRectComboOutMaxX = "CFG_RECTCOMBO_OUT_MAXX";
inline constexpr const char* cfgRectComboOutMinY = "CFG_RECTCOMBO_OUT_MINY";
inline constexpr const char* cfgRectComboOutMaxY = "CFG_RECTCOMBO_OUT_MAXY";
inline constexpr const char* cfgRectComboInMinX = "CFG_RECTCOMBO_IN_MINX";
inline constexpr const char* cfgRectComboInMaxX = "CFG_RECTCOMBO_IN_MAXX";
inline constexpr const char* cfgRectComboInMinY = "CFG_RECTCOMBO_IN_MINY";
inline constexpr const char* cfgRectComboInMaxY = "CFG_RECTCOMBO_IN_MAXY";
inline constexpr const char* cfgEndLevelWait = "CFG_ENDLEVEL_WAITFORCARROT";
inline constexpr const char* cfgScoreUpdateFrequency = "CFG_PLAYSCENE_SCOREUPDATEFREQ";
inline constexpr const char* cfgFloaterType = "CFG_FLOATER_TYPE";
inline constexpr const char* cfgFloaterClownOffsetY = "CFG_FLOATER_CLOWN_OFFSET_Y";
inline constexpr const char* cfgFloaterPartyOffsetY = "CFG_FLOATER_PARTY_OFFSET_Y";
// The play scenes' components.
inline constexpr const char* labelDebugInfo = "LABEL_DEBUGINFO";
inline constexpr const char* labelDebugInfoShadow = "LABEL_DEBUGINFO_SHADOW";
inline constexpr const char* buttonHint = "BUTTON_HINT";
inline constexpr const char* buttonPause = "BUTTON_PAUSE";
inline constexpr const char* buttonMenu = "BUTTON_MENU";
inline constexpr const char* labelScoreValue = "LABEL_SCORE_VALUE";
inline constexpr const char* labelLevelValue = "LABEL_LEVEL_VALUE";
inline constexpr const char* hintBlock = "HINT_BLOCK";
inline constexpr const char* spriteTimeBar = "SPRITE_TIMEBAR";
inline constexpr const char* spriteTimeBarDark = "SPRITE_TIMEBAR_DARK";
inline constexpr const char* playScenes[] = {scenePlayVib, scenePlayRelax, scenePlayAction};
// The hint button's tool-tip by difficulty.
inline constexpr const char* tooltipHintNormal = "TOOLTIP_INGAME_HINT_NORMAL";
inline constexpr const char* tooltipHintHard = "TOOLTIP_INGAME_HINT_HARD";
// The play scene's sounds.
inline constexpr const char* soundClickPibble = "SOUND_CLICK_PIBBLE";
inline constexpr const char* soundClickMiss = "SOUND_CLICK_MISS";
inline constexpr const char* soundClickClown = "SOUND_CLICK_CLOWN";
inline constexpr const char* soundClickParty = "SOUND_CLICK_PARTY";
inline constexpr const char* soundClickStubborn = "SOUND_CLICK_STUBBORN";
inline constexpr const char* soundClickChained = "SOUND_CLICK_CHAINED";
inline constexpr const char* soundClickCollectable = "SOUND_CLICK_COLLECTABLE";
inline constexpr const char* soundClickPlay = "SOUND_CLICK_PLAY";
inline constexpr const char* soundAppearStubborn = "SOUND_APPEAR_STUBBORN";
inline constexpr const char* soundAppearCollectable = "SOUND_APPEAR_COLLECTABLE";
inline constexpr const char* soundAppearUnhappy = "SOUND_APPEAR_UNHAPPY";
inline constexpr const char* soundAppearClown = "SOUND_APPEAR_CLOWN";
inline constexpr const char* soundAppearParty = "SOUND_APPEAR_PARTY";
inline constexpr const char* soundMatch3 = "SOUND_MATCH3";
inline constexpr const char* soundMatch4 = "SOUND_MATCH4";
inline constexpr const char* soundMatch5 = "SOUND_MATCH5";
inline constexpr const char* soundMatch6 = "SOUND_MATCH6";
inline constexpr const char* soundMatch7 = "SOUND_MATCH7";
inline constexpr const char* soundMatchCombo1 = "SOUND_MATCH_COMBO1";
inline constexpr const char* soundMatchCombo2 = "SOUND_MATCH_COMBO2";
inline constexpr const char* soundMatchCombo3 = "SOUND_MATCH_COMBO3";
inline constexpr const char* soundMatchCombo4 = "SOUND_MATCH_COMBO4";
inline constexpr const char* soundRemoveParty = "SOUND_REMOVE_PARTY";
inline constexpr const char* soundRemoveClown = "SOUND_REMOVE_CLOWN";
inline constexpr const char* soundRemoveChained = "SOUND_REMOVE_CHAINED";
inline constexpr const char* soundRemoveStubborn = "SOUND_REMOVE_STUBBORN";
inline constexpr const char* soundRemoveVib = "SOUND_REMOVE_VIB";
inline constexpr const char* soundLevelFinished = "SOUND_LEVEL_FINISHED";
inline constexpr const char* soundLevelFailed = "SOUND_LEVEL_FAILED";
// The VIB clock: a count each second while time runs short, and the ticking of its last seconds.
inline constexpr const char* soundCounting = "SOUND_COUNTING";
inline constexpr const char* soundTicking = "SOUND_TICKING";
inline constexpr const char* playSounds[] = {soundClickPibble,      soundClickMiss,
                                             soundClickClown,       soundClickParty,
                                             soundClickStubborn,    soundClickChained,
                                             soundClickCollectable, soundClickPlay,
                                             soundAppearStubborn,   soundAppearCollectable,
                                             soundAppearUnhappy,    soundAppearClown,
                                             soundAppearParty,      soundMatch3,
                                             soundMatch4,           soundMatch5,
                                             soundMatch6,           soundMatch7,
                                             soundMatchCombo1,      soundMatchCombo2,
                                             soundMatchCombo3,      soundMatchCombo4,
                                             soundRemoveParty,      soundRemoveClown,
                                             soundRemoveChained,    soundRemoveStubborn,
                                             soundRemoveVib,        soundLevelFinished,
                                             soundLevelFailed,      soundCounting,
                                             soundTicking};
// The floaters: the score's fonts by pibble colour 1 to 7 (any other colour takes white), the label their
// letters are made in, and the signs of "sceneplay" (the combo's by step 1 to comboFloaters).
inline constexpr const char* floaterFonts[] = {
    "FONT_FLOATER_36_YELLOW", "FONT_FLOATER_36_BLUE",   "FONT_FLOATER_36_RED",   "FONT_FLOATER_36_WHITE",
    "FONT_FLOATER_36_GREEN",  "FONT_FLOATER_36_PURPLE", "FONT_FLOATER_36_ORANGE"};
inline constexpr const char* floaterFontWhite = "FONT_FLOATER_36_WHITE";
inline constexpr const char* labelFloater = "LABEL_FLOATER";
inline constexpr const char* floaterClown = "FLOATER_CLOWN";
inline constexpr const char* floaterParty = "FLOATER_PARTY";
inline constexpr const char* floaterComboPrefix = "FLOATER_COMBO";
inline constexpr int comboFloaters = 6;
inline constexpr const char* floaterReady = "FLOATER_READY";
inline constexpr const char* floaterGo = "FLOATER_GO";
// The hint: its dialog and components, and the bubbles it is drawn with by where its target stands.
inline constexpr const char* dialogHint = "DIALOG_HINT";
inline constexpr const char* hintSwitch = "SWITCH";
inline constexpr const char* labelHint = "LABEL_HINT";
inline constexpr const char* labelShow = "LABEL_SHOW";
inline constexpr const char* hintPainterTopLeft = "HINT_PAINTER_TOP_LEFT";
inline constexpr const char* hintPainterTopRight = "HINT_PAINTER_TOP_RIGHT";
inline constexpr const char* hintPainterBottomLeft = "HINT_PAINTER_BOTTOM_LEFT";
inline constexpr const char* hintPainterBottomRight = "HINT_PAINTER_BOTTOM_RIGHT";
inline constexpr const char* hintPainterTimeBar = "HINT_PAINTER_TIMEBAR";
// The rules page a mode's first game opens with.
inline constexpr const char* dialogHowToPlay = "DIALOG_HOWTOPLAY";
inline constexpr const char* buttonPlay = "BUTTON_PLAY";
inline constexpr const char* dialogMenu = "DIALOG_MENU";

// The album: its book and components, its pages, its sounds, and the pictures of "albumpictures" its pages
// and the collectable photo show, each a prefix and a number.
inline constexpr const char* dialogAlbum = "DIALOG_ALBUM";
inline constexpr const char* spriteBackground = "SPRITE_BACKGROUND";
inline constexpr const char* spriteLeftPage = "SPRITE_LEFTPAGE";
inline constexpr const char* spritePreviousPage = "SPRITE_PREVIOUSPAGE";
inline constexpr const char* spriteNextPage = "SPRITE_NEXTPAGE";
inline constexpr const char* spriteBookmarker = "SPRITE_BOOKMARKER";
inline constexpr const char* spriteCornerLeft = "SPRITE_CORNER_LEFT";
inline constexpr const char* spriteCornerRight = "SPRITE_CORNER_RIGHT";
inline constexpr const char* buttonBookmarker = "BUTTON_BOOKMARKER";
inline constexpr const char* buttonNext = "BUTTON_NEXT";
inline constexpr const char* buttonPrev = "BUTTON_PREV";
inline constexpr const char* dialogToc = "DIALOG_TOC";
inline constexpr const char* dialogStatistics = "DIALOG_STATISTICS";
inline constexpr const char* dialogHighscores = "DIALOG_HIGHSCORES";
inline constexpr const char* dialogCollectables = "DIALOG_COLLECTABLES";
inline constexpr const char* dialogCredits = "DIALOG_CREDITS";
inline constexpr const char* soundBookAppears = "SOUND_BOOK_APPEARS";
inline constexpr const char* soundBookDisappears = "SOUND_BOOK_DISAPPEARS";
inline constexpr const char* soundBookTurnPage = "SOUND_BOOK_TURNPAGE";
inline constexpr const char* groupAlbumPictures = "albumpictures";
// The book, its marker and corners, the polaroid and its check, read as an album is made and let go with it.
inline constexpr const char* groupAlbum = "album";
inline constexpr const char* albumPicturesFile = "media/properties/albumpictures";
inline constexpr const char* collectablePicturePrefix = "PIBBLE_COLLECTABLE_PICTURE_";
inline constexpr const char* collectablePictureLightSuffix = "_LIGHT";
inline constexpr const char* albumLeftPagePrefix = "ALBUM_LEFTPAGE_PICTURE_";
inline constexpr const char* creditsLeftPagePrefix = "CREDITS_LEFTPAGE_PICTURE_";
// The credits: header and text of each page, two entries a page.
inline constexpr const char* creditsList = "CREDITS";
// The collectable photo: its sounds and the message after the first claim.
inline constexpr const char* soundCamera = "SOUND_CAMERA";
inline constexpr const char* soundRemoveCollectable = "SOUND_REMOVE_COLLECTABLE";
inline constexpr const char* textFirstClaimed = "TEXT_FIRSTCLAIMED_TXT";
inline constexpr const char* textFirstClaimedHeader = "TEXT_FIRSTCLAIMED_HDR";

// The album's contents page: the heading and the five entries with their highlighted twins, in the order of
// the pages they open.
inline constexpr const char* labelHighscores = "LABEL_HIGHSCORES";
inline constexpr const char* labelTocStatistics = "LABEL_STATISTICS";
inline constexpr const char* labelTocVib = "LABEL_VIB";
inline constexpr const char* labelTocAction = "LABEL_ACTION";
inline constexpr const char* labelTocRelax = "LABEL_RELAX";
inline constexpr const char* labelTocCollectables = "LABEL_COLLECTABLES";
inline constexpr const char* labelTocStatisticsOver = "LABEL_STATISTICS_OVER";
inline constexpr const char* labelTocVibOver = "LABEL_VIB_OVER";
inline constexpr const char* labelTocActionOver = "LABEL_ACTION_OVER";
inline constexpr const char* labelTocRelaxOver = "LABEL_RELAX_OVER";
inline constexpr const char* labelTocCollectablesOver = "LABEL_COLLECTABLES_OVER";
inline constexpr const char* tocEntries[] = {labelTocStatistics, labelTocVib, labelTocAction, labelTocRelax,
                                             labelTocCollectables};
inline constexpr const char* tocEntriesOver[] = {labelTocStatisticsOver, labelTocVibOver, labelTocActionOver,
                                                 labelTocRelaxOver, labelTocCollectablesOver};
// The statistics page: a caption and a value label per line, and the texts its values are written with.
inline constexpr const char* labelCompletedCaption = "LABEL_COMPLETED_LBL";
inline constexpr const char* labelCompletedValue = "LABEL_COMPLETED_VAL";
inline constexpr const char* labelRemovedCaption = "LABEL_REMOVED_LBL";
inline constexpr const char* labelRemovedValue = "LABEL_REMOVED_VAL";
inline constexpr const char* labelMatch5Caption = "LABEL_MATCH5_LBL";
inline constexpr const char* labelMatch5Value = "LABEL_MATCH5_VAL";
inline constexpr const char* labelMatch6Caption = "LABEL_MATCH6_LBL";
inline constexpr const char* labelMatch6Value = "LABEL_MATCH6_VAL";
inline constexpr const char* labelMatch7Caption = "LABEL_MATCH7_LBL";
inline constexpr const char* labelMatch7Value = "LABEL_MATCH7_VAL";
inline constexpr const char* labelPlayTimeCaption = "LABEL_PLAYTIME_LBL";
inline constexpr const char* labelPlayTimeValue = "LABEL_PLAYTIME_VAL";
inline constexpr const char* labelCombosCaption = "LABEL_COMBOS_LBL";
inline constexpr const char* labelCombosValue = "LABEL_COMBOS_VAL";
inline constexpr const char* labelLevelsCaption = "LABEL_LEVELS_LBL";
inline constexpr const char* labelLevelsValue = "LABEL_LEVELS_VAL";
inline constexpr const char* labelPolaroidsCaption = "LABEL_POLAROIDS_LBL";
inline constexpr const char* labelPolaroidsValue = "LABEL_POLAROIDS_VAL";
inline constexpr const char* statisticsCaptions[] = {
    labelCompletedCaption, labelRemovedCaption, labelMatch5Caption, labelMatch6Caption,   labelMatch7Caption,
    labelPlayTimeCaption,  labelCombosCaption,  labelLevelsCaption, labelPolaroidsCaption};
inline constexpr const char* statisticsValues[] = {
    labelCompletedValue, labelRemovedValue, labelMatch5Value, labelMatch6Value,   labelMatch7Value,
    labelPlayTimeValue,  labelCombosValue,  labelLevelsValue, labelPolaroidsValue};
inline constexpr const char* textStatisticsPercent = "TEXT_STATISTICS_PERC";
inline constexpr const char* hourMinuteFormat = "STRING_HOURMIN_FORMAT";
// The highscore page: its button, title, column headings and the four columns (markup labels), the titles
// by game mode, the two messages and the colour of a new entry's row.
inline constexpr const char* buttonClear = "BUTTON_CLEAR";
inline constexpr const char* labelMode = "LABEL_MODE";
inline constexpr const char* labelName = "LABEL_NAME";
inline constexpr const char* labelScore = "LABEL_SCORE";
inline constexpr const char* labelLevel = "LABEL_LEVEL";
inline constexpr const char* labelContentRank = "LABEL_CONTENT_RANK";
inline constexpr const char* labelContentName = "LABEL_CONTENT_NAME";
inline constexpr const char* labelContentScore = "LABEL_CONTENT_SCORE";
inline constexpr const char* labelContentLevel = "LABEL_CONTENT_LEVEL";
inline constexpr const char* textGameModeVib = "TEXT_GAMEMODE_VIB";
inline constexpr const char* textGameModeAction = "TEXT_GAMEMODE_ACTION";
inline constexpr const char* textGameModeRelax = "TEXT_GAMEMODE_RELAX";
inline constexpr const char* gameModeTitles[] = {textGameModeVib, textGameModeAction, textGameModeRelax};
inline constexpr const char* textHighscore = "TEXT_HIGHSCORE_TXT";
inline constexpr const char* textHighscoreHeader = "TEXT_HIGHSCORE_HDR";
inline constexpr const char* textClearHighscores = "TEXT_CLEARHIGHSCORES_TXT";
inline constexpr const char* textClearHighscoresHeader = "TEXT_CLEARHIGHSCORES_HDR";
inline constexpr const char* highscoreHiliteColor = "CFG_HIGHSCORE_HILITE_COLOR";
// The highscore table's font in the highlight's colour.
inline constexpr const char* fontScoresHilite = "FONT_SCORES_10_HILITE";
// A collectable's page: the polaroid, the check mark, its labels, the text lists indexed by collectable id
// (entry 0 stands for no collectable) and the format of the claim date.
inline constexpr const char* collectablePolaroid = "COLLECTABLE_POLAROID";
inline constexpr const char* spriteCheck = "SPRITE_CHECK";
inline constexpr const char* labelDescription = "LABEL_DESCR";
inline constexpr const char* labelCondition = "LABEL_CONDITION";
inline constexpr const char* labelDateTime = "LABEL_DATETIME";
inline constexpr const char* labelHeader = "LABEL_HDR";
inline constexpr const char* collectableNames = "NAME_COLLECTABLES";
inline constexpr const char* collectableDescriptions = "DESCRIPTION_COLLECTABLES";
inline constexpr const char* collectableConditions = "CONDITION_COLLECTABLES";
inline constexpr const char* collectableTextLists[] = {collectableNames, collectableDescriptions,
                                                       collectableConditions};
inline constexpr const char* dateTimeFormat = "STRING_DATETIME_FORMAT";
// A credits page: the timing of its letters (ms) and the font of the first page's header.
inline constexpr const char* cfgCreditsPreDelay = "CFG_CREDITS_PRE_DELAY";
inline constexpr const char* cfgCreditsLetterDelay = "CFG_CREDITS_LETTER_DELAY";
inline constexpr const char* cfgCreditsLetterFadeIn = "CFG_CREDITS_LETTER_FADEIN";
inline constexpr const char* cfgCreditsPostDelay = "CFG_CREDITS_POST_DELAY";
inline constexpr const char* fontCreditsTitle = "FONT_OOGIEBOOGIE_24";
using kernel::IdKind;

inline constexpr kernel::NamedId named[] = {
    {gameId, nullptr, IdKind::String},
    {groupingDigit, nullptr, IdKind::String},
    {musicLoading, nullptr, IdKind::String},
    {musicSelection, nullptr, IdKind::String},
    {cfgHardModeUnlockVib, nullptr, IdKind::Integer},
    {cfgHardModeUnlockAction, nullptr, IdKind::Integer},
    {cfgHardModeUnlockRelax, nullptr, IdKind::Integer},
    {cfgPibbleUnhappyDuration, nullptr, IdKind::Integer},
    {cfgHintNoClickTimer, nullptr, IdKind::Integer},
    {cfgSoundStartCounting, nullptr, IdKind::Integer},
    {cfgSoundStartTicking, nullptr, IdKind::Integer},
    {cfgHintPenaltyAction, nullptr, IdKind::Double},
    {cfgHintPenaltyRelax, nullptr, IdKind::Double},
    {cfgHintPenaltyVib, nullptr, IdKind::Double},
    {textGameFinished, nullptr, IdKind::Text},
    {textGameFinishedHeader, nullptr, IdKind::Text},
    {textGameFailedAction, nullptr, IdKind::Text},
    {textGameFailedRelax, nullptr, IdKind::Text},
    {textGameFailedVib, nullptr, IdKind::Text},
    {textUnlockVibHardMode, nullptr, IdKind::Text},
    {textUnlockActionHardMode, nullptr, IdKind::Text},
    {textUnlockRelaxHardMode, nullptr, IdKind::Text},
    {cfgRenderBorder, nullptr, IdKind::Integer},
    {cfgDarkFactorYellow, nullptr, IdKind::Double},
    {cfgDarkFactorBlue, nullptr, IdKind::Double},
    {cfgDarkFactorRed, nullptr, IdKind::Double},
    {cfgDarkFactorWhite, nullptr, IdKind::Double},
    {cfgDarkFactorGreen, nullptr, IdKind::Double},
    {cfgDarkFactorPurple, nullptr, IdKind::Double},
    {cfgDarkFactorOrange, nullptr, IdKind::Double},
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
    {groupBackgrounds, nullptr, IdKind::Group},
    {groupElements, nullptr, IdKind::Group},
    {groupScenePlay, nullptr, IdKind::Group},
    {groupPibbles, nullptr, IdKind::Group},
    {soundJingle, groupSceneLoad, IdKind::Sound},
    {imageLoadingLogo, groupSceneLoad, IdKind::Image},
    {fontLoadingText, groupPreloading, IdKind::Font},
    {fontsShownWithAPlayer[0], groupPreloading, IdKind::Font},
    {fontsShownWithAPlayer[1], groupPreloading, IdKind::Font},
    {fontsShownWithAPlayer[2], groupPreloading, IdKind::Font},
    {fontsShownWithAPlayer[3], groupPreloading, IdKind::Font},
    {imageSparkle, groupScenePlay, IdKind::Image},
    {imageBigPartyStar, groupScenePlay, IdKind::Image},
    {pibbleShadow, groupPibbles, IdKind::Image},
    {pibbleDust, groupPibbles, IdKind::Image},
    {pibbleHoleOpen, groupPibbles, IdKind::Image},
    {pibbleHoleClose, groupPibbles, IdKind::Image},
    {pibbleSwoosh, groupPibbles, IdKind::Image},
    {pibbleVibMatch, groupPibbles, IdKind::Image},
    {pibbleStubbornMatch, groupPibbles, IdKind::Image},
    {pibbleComboMatch, groupPibbles, IdKind::Image},
    {pibbleBlink, groupPibbles, IdKind::Image},
    {pibbleDechain, groupPibbles, IdKind::Image},
    {pibbleStubborn, groupPibbles, IdKind::Image},
    {pibbleClownGlow, groupPibbles, IdKind::Image},
    {pibbleHitMask, groupPibbles, IdKind::Image},
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
    {hintVib, nullptr, IdKind::Text},
    {hintClickFailed, nullptr, IdKind::Text},
    {hintClickTimer, nullptr, IdKind::Text},
    {hintClickQueue, nullptr, IdKind::Text},
    {hintClickChained, nullptr, IdKind::Text},
    {hintClickParty, nullptr, IdKind::Text},
    {hintClickClown, nullptr, IdKind::Text},
    {hintClickStubborn, nullptr, IdKind::Text},
    {hintClickCollectable, nullptr, IdKind::Text},
    {hintAppearChained, nullptr, IdKind::Text},
    {hintAppearParty, nullptr, IdKind::Text},
    {hintAppearClown, nullptr, IdKind::Text},
    {hintAppearStubbornAction, nullptr, IdKind::Text},
    {hintAppearStubbornRelax, nullptr, IdKind::Text},
    {hintAppearStubbornRelax2, nullptr, IdKind::Text},
    {hintAppearStubbornVib, nullptr, IdKind::Text},
    {hintAppearCollectable, nullptr, IdKind::Text},
    {hintAppearUnhappy, nullptr, IdKind::Text},
    {hintTimeBarAction, nullptr, IdKind::Text},
    {hintTimeBarRelax, nullptr, IdKind::Text},
    {hintTimeBarVib, nullptr, IdKind::Text},
    {cfgRemoveSpreadMin, nullptr, IdKind::Integer},
    {cfgRemoveSpreadMax, nullptr, IdKind::Integer},
    {cfgBlinkDuration, nullptr, IdKind::Integer},
    {cfgBlinkInterval, nullptr, IdKind::Integer},
    {cfgBlinkRandomize, nullptr, IdKind::Integer},
    {cfgStubbornInterval, nullptr, IdKind::Integer},
    {cfgStubbornRandomize, nullptr, IdKind::Integer},
    {cfgVibInterval, nullptr, IdKind::Integer},
    {cfgVibRandomize, nullptr, IdKind::Integer},
    {cfgClownGlowFrameDelay, nullptr, IdKind::Integer},
    {cfgDechainFrameDelay, nullptr, IdKind::Integer},
    {cfgJumpDuration, nullptr, IdKind::Integer},
    {cfgJumpHeight, nullptr, IdKind::Integer},
    {cfgJumpTrailInterval, nullptr, IdKind::Integer},
    {cfgJumpBounce, nullptr, IdKind::Integer},
    {cfgHupDuration, nullptr, IdKind::Integer},
    {cfgHupHeight, nullptr, IdKind::Integer},
    {cfgHupBounce, nullptr, IdKind::Integer},
    {groupGameSounds, nullptr, IdKind::Group},
    {soundFocus, groupGameSounds, IdKind::Sound},
    {soundJumpDown, groupGameSounds, IdKind::Sound},
    {soundJumpOffScreen, groupGameSounds, IdKind::Sound},
    {soundJumpHorizontal, groupGameSounds, IdKind::Sound},
    {soundJumpHup, groupGameSounds, IdKind::Sound},
    {soundJumpHupEndLevel, groupGameSounds, IdKind::Sound},
    {cfgHintNoMatchCount, nullptr, IdKind::Integer},
    {cfgFloaterOffsetX, nullptr, IdKind::Integer},
    {cfgFloaterOffsetY, nullptr, IdKind::Integer},
    {cfgMaxPermutationTries, nullptr, IdKind::Integer},
    {cfgCollectableCounter, nullptr, IdKind::Integer},
    {cfgHintEnabledDelay, nullptr, IdKind::Integer},
    {soundMatchWrong, groupGameSounds, IdKind::Sound},
    {musicGame, nullptr, IdKind::String},
    {cfgRectComboOutMinX, nullptr, IdKind::Integer},
    {cfgRectComboOutMaxX, nullptr, IdKind::Integer},
    {cfgRectComboOutMinY, nullptr, IdKind::Integer},
    {cfgRectComboOutMaxY, nullptr, IdKind::Integer},
    {cfgRectComboInMinX, nullptr, IdKind::Integer},
    {cfgRectComboInMaxX, nullptr, IdKind::Integer},
    {cfgRectComboInMinY, nullptr, IdKind::Integer},
    {cfgRectComboInMaxY, nullptr, IdKind::Integer},
    {cfgEndLevelWait, nullptr, IdKind::Integer},
    {cfgScoreUpdateFrequency, nullptr, IdKind::Double},
    {cfgFloaterType, nullptr, IdKind::Integer},
    {cfgFloaterClownOffsetY, nullptr, IdKind::Integer},
    {cfgFloaterPartyOffsetY, nullptr, IdKind::Integer},
    {tooltipHintNormal, nullptr, IdKind::Text},
    {tooltipHintHard, nullptr, IdKind::Text},
    {labelFloater, nullptr, IdKind::Declaration},
    {floaterClown, groupScenePlay, IdKind::Image},
    {floaterParty, groupScenePlay, IdKind::Image},
    {floaterReady, groupScenePlay, IdKind::Image},
    {floaterGo, groupScenePlay, IdKind::Image},
    {dialogHint, nullptr, IdKind::Dialog},
    {hintSwitch, dialogHint, IdKind::Sprite},
    {buttonOk, dialogHint, IdKind::Button},
    {labelHint, dialogHint, IdKind::Label},
    {labelShow, dialogHint, IdKind::Label},
    {hintPainterTopLeft, nullptr, IdKind::Declaration},
    {hintPainterTopRight, nullptr, IdKind::Declaration},
    {hintPainterBottomLeft, nullptr, IdKind::Declaration},
    {hintPainterBottomRight, nullptr, IdKind::Declaration},
    {hintPainterTimeBar, nullptr, IdKind::Declaration},
    {dialogHowToPlay, nullptr, IdKind::Dialog},
    {buttonPlay, dialogHowToPlay, IdKind::Button},
    {dialogAlbum, nullptr, IdKind::Dialog},
    {spriteBackground, dialogAlbum, IdKind::Sprite},
    {spriteLeftPage, dialogAlbum, IdKind::Sprite},
    {spritePreviousPage, dialogAlbum, IdKind::Sprite},
    {spriteNextPage, dialogAlbum, IdKind::Sprite},
    {spriteBookmarker, dialogAlbum, IdKind::Sprite},
    {spriteCornerLeft, dialogAlbum, IdKind::Sprite},
    {spriteCornerRight, dialogAlbum, IdKind::Sprite},
    {buttonBookmarker, dialogAlbum, IdKind::Button},
    {buttonMenu, dialogAlbum, IdKind::Button},
    {buttonNext, dialogAlbum, IdKind::Button},
    {buttonPrev, dialogAlbum, IdKind::Button},
    {dialogToc, nullptr, IdKind::Dialog},
    {dialogStatistics, nullptr, IdKind::Dialog},
    {dialogHighscores, nullptr, IdKind::Dialog},
    {dialogCollectables, nullptr, IdKind::Dialog},
    {dialogCredits, nullptr, IdKind::Dialog},
    {soundBookAppears, groupSounds, IdKind::Sound},
    {soundBookDisappears, groupSounds, IdKind::Sound},
    {soundBookTurnPage, groupSounds, IdKind::Sound},
    {groupAlbumPictures, nullptr, IdKind::Group},
    {groupAlbum, nullptr, IdKind::Group},
    {soundCamera, groupGameSounds, IdKind::Sound},
    {soundRemoveCollectable, groupGameSounds, IdKind::Sound},
    {textFirstClaimed, nullptr, IdKind::Text},
    {textFirstClaimedHeader, nullptr, IdKind::Text},
    // The pages' own ids follow.
    {labelHighscores, dialogToc, IdKind::Label},
    {labelTocStatistics, dialogToc, IdKind::Label},
    {labelTocVib, dialogToc, IdKind::Label},
    {labelTocAction, dialogToc, IdKind::Label},
    {labelTocRelax, dialogToc, IdKind::Label},
    {labelTocCollectables, dialogToc, IdKind::Label},
    {labelTocStatisticsOver, dialogToc, IdKind::Label},
    {labelTocVibOver, dialogToc, IdKind::Label},
    {labelTocActionOver, dialogToc, IdKind::Label},
    {labelTocRelaxOver, dialogToc, IdKind::Label},
    {labelTocCollectablesOver, dialogToc, IdKind::Label},
    {spriteBookmarker, dialogToc, IdKind::Sprite},
    {labelCompletedCaption, dialogStatistics, IdKind::Label},
    {labelCompletedValue, dialogStatistics, IdKind::Label},
    {labelRemovedCaption, dialogStatistics, IdKind::Label},
    {labelRemovedValue, dialogStatistics, IdKind::Label},
    {labelMatch5Caption, dialogStatistics, IdKind::Label},
    {labelMatch5Value, dialogStatistics, IdKind::Label},
    {labelMatch6Caption, dialogStatistics, IdKind::Label},
    {labelMatch6Value, dialogStatistics, IdKind::Label},
    {labelMatch7Caption, dialogStatistics, IdKind::Label},
    {labelMatch7Value, dialogStatistics, IdKind::Label},
    {labelPlayTimeCaption, dialogStatistics, IdKind::Label},
    {labelPlayTimeValue, dialogStatistics, IdKind::Label},
    {labelCombosCaption, dialogStatistics, IdKind::Label},
    {labelCombosValue, dialogStatistics, IdKind::Label},
    {labelLevelsCaption, dialogStatistics, IdKind::Label},
    {labelLevelsValue, dialogStatistics, IdKind::Label},
    {labelPolaroidsCaption, dialogStatistics, IdKind::Label},
    {labelPolaroidsValue, dialogStatistics, IdKind::Label},
    {textStatisticsPercent, nullptr, IdKind::Text},
    {hourMinuteFormat, nullptr, IdKind::String},
    {buttonClear, dialogHighscores, IdKind::Button},
    {labelMode, dialogHighscores, IdKind::Label},
    {labelName, dialogHighscores, IdKind::Label},
    {labelScore, dialogHighscores, IdKind::Label},
    {labelLevel, dialogHighscores, IdKind::Label},
    // Markup labels are sprites, not labels.
    {labelContentRank, dialogHighscores, IdKind::Sprite},
    {labelContentName, dialogHighscores, IdKind::Sprite},
    {labelContentScore, dialogHighscores, IdKind::Sprite},
    {labelContentLevel, dialogHighscores, IdKind::Sprite},
    {textGameModeVib, nullptr, IdKind::Text},
    {textGameModeAction, nullptr, IdKind::Text},
    {textGameModeRelax, nullptr, IdKind::Text},
    {textHighscore, nullptr, IdKind::Text},
    {textHighscoreHeader, nullptr, IdKind::Text},
    {textClearHighscores, nullptr, IdKind::Text},
    {textClearHighscoresHeader, nullptr, IdKind::Text},
    {highscoreHiliteColor, nullptr, IdKind::String},
    {fontScoresHilite, groupPreloading, IdKind::Font},
    {collectablePolaroid, dialogCollectables, IdKind::Sprite},
    {spriteCheck, dialogCollectables, IdKind::Sprite},
    {labelDescription, dialogCollectables, IdKind::Label},
    {labelCondition, dialogCollectables, IdKind::Label},
    {labelDateTime, dialogCollectables, IdKind::Label},
    {labelHeader, dialogCollectables, IdKind::Label},
    {dateTimeFormat, nullptr, IdKind::String},
    {labelInfo, dialogCredits, IdKind::Label},
    {labelHeader, dialogCredits, IdKind::Label},
    {cfgCreditsPreDelay, nullptr, IdKind::Integer},
    {cfgCreditsLetterDelay, nullptr, IdKind::Integer},
    {cfgCreditsLetterFadeIn, nullptr, IdKind::Integer},
    {cfgCreditsPostDelay, nullptr, IdKind::Integer},
    {fontCreditsTitle, groupPreloading, IdKind::Font},
    // The level-end dialog; its masks, crumbs and bite sounds are named by number (the content check
    // counts them).
    {dialogLevelEnd, nullptr, IdKind::Dialog},
    {spriteWhiteBar, dialogLevelEnd, IdKind::Sprite},
    {spriteCarrot, dialogLevelEnd, IdKind::Sprite},
    {spriteCarrotFront, dialogLevelEnd, IdKind::Sprite},
    {spriteCarrotBack, dialogLevelEnd, IdKind::Sprite},
    {buttonContinue, dialogLevelEnd, IdKind::Button},
    {buttonYes, dialogLevelEnd, IdKind::Button},
    {buttonNo, dialogLevelEnd, IdKind::Button},
    {labelHeader, dialogLevelEnd, IdKind::Label},
    {labelText, dialogLevelEnd, IdKind::Label},
    {labelTryAgain, dialogLevelEnd, IdKind::Label},
    {textGameFailedHeader, nullptr, IdKind::Text},
    {textChapterFinishedHeader, nullptr, IdKind::Text},
    {textGameFailedTryAgain, nullptr, IdKind::Text},
    {textQuit, nullptr, IdKind::Text},
    {textQuitHeader, nullptr, IdKind::Text},
    {textSaveFailed, nullptr, IdKind::Text},
    {textSaveFailedHeader, nullptr, IdKind::Text},
    // The VIB chapter map; its lines, chapter buttons and photos are named by number.
    {dialogProgress, nullptr, IdKind::Dialog},
    {spriteButtonAppear, dialogProgress, IdKind::Sprite},
    {spritePlayerShine, dialogProgress, IdKind::Sprite},
    {buttonHead, dialogProgress, IdKind::Button},
    {buttonHeadSmile, dialogProgress, IdKind::Sprite},
    {buttonBook, dialogProgress, IdKind::Button},
    {buttonMenu, dialogProgress, IdKind::Button},
    {hintBackground, dialogProgress, IdKind::Sprite},
    {hintLabel, dialogProgress, IdKind::Label},
    {labelChooseChapter, dialogProgress, IdKind::Label},
    {labelChooseChapterBlur, dialogProgress, IdKind::Label},
    {groupSceneProgress, nullptr, IdKind::Group},
    {imageHintDialogLeft, groupSceneProgress, IdKind::Image},
    {imageHintDialogRight, groupSceneProgress, IdKind::Image},
    {soundChapterFinished, groupGameSounds, IdKind::Sound},
    {soundPhotoAppears, groupGameSounds, IdKind::Sound},
    {soundArrive, groupGameSounds, IdKind::Sound},
    {tooltipProgressPhoto, nullptr, IdKind::Text},
    // The in-game menu and the pause; the numbered plops and the help's text lists are counted by the
    // content check.
    {dialogMenu, nullptr, IdKind::Dialog},
    {buttonHelp, dialogMenu, IdKind::Button},
    {buttonAlbum, dialogMenu, IdKind::Button},
    {buttonSettings, dialogMenu, IdKind::Button},
    {buttonQuit, dialogMenu, IdKind::Button},
    {buttonContinue, dialogMenu, IdKind::Button},
    {dialogPause, nullptr, IdKind::Dialog},
    {labelPauseContinue, dialogPause, IdKind::Label},
    {cfgPauseFadeIn, nullptr, IdKind::Integer},
    {cfgPauseFadeOut, nullptr, IdKind::Integer},
    {groupScenePause, nullptr, IdKind::Group},
    {soundPause, groupGameSounds, IdKind::Sound},
    {soundUnpause, groupGameSounds, IdKind::Sound},
    {soundDialogAppears, groupSounds, IdKind::Sound},
    {soundDialogDisappears, groupSounds, IdKind::Sound},
    // The settings; sliders and switches are sprites.
    {dialogSettings, nullptr, IdKind::Dialog},
    {buttonOk, dialogSettings, IdKind::Button},
    {buttonCancel, dialogSettings, IdKind::Button},
    {buttonInfo, dialogSettings, IdKind::Button},
    {sliderSoundVolume, dialogSettings, IdKind::Sprite},
    {sliderMusicVolume, dialogSettings, IdKind::Sprite},
    {switchFullScreen, dialogSettings, IdKind::Sprite},
    {switchShowHints, dialogSettings, IdKind::Sprite},
    // The help; its markup label and its scroll panel are sprites.
    {dialogHelp, nullptr, IdKind::Dialog},
    {groupHelp, nullptr, IdKind::Group},
    {labelHeader, dialogHelp, IdKind::Label},
    {labelIndex, dialogHelp, IdKind::Label},
    {labelContents, dialogHelp, IdKind::Sprite},
    {scrollPanel, dialogHelp, IdKind::Sprite},
    {buttonOk, dialogHelp, IdKind::Button},
    {buttonNext, dialogHelp, IdKind::Button},
    {buttonPrev, dialogHelp, IdKind::Button},
    {textPageFormat, nullptr, IdKind::Text},
    // The end of the VIB game.
    {dialogGameEnd, nullptr, IdKind::Dialog},
    {gameEndBackground, dialogGameEnd, IdKind::Sprite},
    {buttonNext, dialogGameEnd, IdKind::Button},
    {imageBlinkShine, groupScenePlay, IdKind::Image},
    // The selection scene and the difficulty question.
    {spriteVibHighlight, sceneSelection, IdKind::Sprite},
    {buttonAction, sceneSelection, IdKind::Button},
    {buttonRelax, sceneSelection, IdKind::Button},
    {buttonVib, sceneSelection, IdKind::Button},
    {buttonHelp, sceneSelection, IdKind::Button},
    {buttonAlbum, sceneSelection, IdKind::Button},
    {buttonSettings, sceneSelection, IdKind::Button},
    {buttonLeave, sceneSelection, IdKind::Button},
    {buttonChangeName, sceneSelection, IdKind::Button},
    {labelChangeNameBlur, sceneSelection, IdKind::Label},
    {labelWelcome, sceneSelection, IdKind::Label},
    {labelWelcomeBlur, sceneSelection, IdKind::Label},
    {textWelcome, nullptr, IdKind::Text},
    {textWelcomeChangeName, nullptr, IdKind::Text},
    {textLeave, nullptr, IdKind::Text},
    {textLeaveHeader, nullptr, IdKind::Text},
    {textAutoContinue, nullptr, IdKind::Text},
    {textAutoContinueHeader, nullptr, IdKind::Text},
    {textSavegame, nullptr, IdKind::Text},
    {textSavegameHeader, nullptr, IdKind::Text},
    {textDifficulty, nullptr, IdKind::Text},
    {textDifficultyHeader, nullptr, IdKind::Text},
    {textUnlockHeader, nullptr, IdKind::Text},
    {dialogDifficulty, nullptr, IdKind::Dialog},
    {boxMessage, dialogDifficulty, IdKind::Label},
    {boxHeader, dialogDifficulty, IdKind::Label},
    {buttonNormal, dialogDifficulty, IdKind::Button},
    {buttonHard, dialogDifficulty, IdKind::Button},
    // The player profiles; the list's rows and their labels are named by number (the content check counts
    // them), and the name field is a sprite.
    {dialogProfile, nullptr, IdKind::Dialog},
    {inputMarker, dialogProfile, IdKind::Sprite},
    {buttonOk, dialogProfile, IdKind::Button},
    {buttonNew, dialogProfile, IdKind::Button},
    {buttonDelete, dialogProfile, IdKind::Button},
    {cfgInputLabelOffsetX, nullptr, IdKind::Integer},
    {cfgInputLabelOffsetY, nullptr, IdKind::Integer},
    {textProfileDelete, nullptr, IdKind::Text},
    {textProfileDeleteHeader, nullptr, IdKind::Text},
    {dialogProfileCreate, nullptr, IdKind::Dialog},
    {inputLabelName, dialogProfileCreate, IdKind::Sprite},
    {buttonOk, dialogProfileCreate, IdKind::Button},
    {buttonCancel, dialogProfileCreate, IdKind::Button},
    {textProfileNameInvalid, nullptr, IdKind::Text},
    {soundKey, groupSounds, IdKind::Sound},
    // The first start's comic; its pages are named by number (the content check counts them).
    {dialogStrip, nullptr, IdKind::Dialog},
    {spriteStrip, dialogStrip, IdKind::Sprite},
    {buttonNext, dialogStrip, IdKind::Button},
    {buttonNextShine, dialogStrip, IdKind::Sprite},
    // The visitor.
    {pibbleVisitor, groupPibbles, IdKind::Image},
};

// Named by code whose declarations come later with the classes that open them: the content check checks
// each once it is declared. None waits now.
inline constexpr std::array<kernel::NamedId, 0> awaited{};

} // namespace game::ids
