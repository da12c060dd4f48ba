#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Sprite.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace graphics {
class ImageBase;
}

namespace ui {
class GameNode;
}

namespace game {

class DialogAlbum;

// Everything about the album that outlives one opening of it: the collectables' order in the album, the
// open album dialog, the black curtain it fades in and out behind, whether it takes input and whether it
// covers the play field, the scene to go to when it closes, the two pointer-shape requests of the album,
// and the pictures its pages show (one of each kind loaded at a time, from the section "albumpictures").
// Every way into the album goes through it.
class AlbumPictures : public kernel::Object {
public:
    static constexpr int collectableCount = 30;
    // The album's pages: the contents, the statistics, the three highscore pages, then one per collectable.
    static constexpr int firstHighscorePage = 2;
    static constexpr int firstCollectablePage = 5;
    static constexpr int lastPage = 34;
    // How long the curtain takes to fall or lift (ms).
    static constexpr int curtainMs = 450;

    static AlbumPictures* create();
    // Null before create.
    static AlbumPictures* instance();
    static void destroy();

    // Reads the album order from the collectables file and makes the curtain.
    void loadOrder();
    // 0 for an id or a position outside 1..30, or one the file did not place.
    std::int32_t albumOrderOf(std::int32_t collectableId) const;
    std::int32_t collectableAt(std::int32_t position) const;

    // Opened with the curtain: at the contents, in credits mode, or at a mode's highscore page with the
    // entry highlighted (a negative entry highlights nothing).
    void openAtContents();
    void openCredits();
    void showHighscores(std::int32_t mode, std::int32_t entryIndex);
    // Opened at once at the collectable's page, without the curtain.
    void showCollectable(std::int32_t collectableId);
    // Changes to the return scene when one is set, else fades through black and lets the album go. Nothing
    // while a close is running.
    void closeAlbum();
    void setReturnScene(const std::string& name) { returnScene = name; }
    const std::string& getReturnScene() const { return returnScene; }

    void enableAlbum(bool enabled);
    bool isAlbumLocked() const { return albumLocked; }
    // While set the play field is not drawn: the album covers it.
    bool isAlbumBlocking() const { return albumBlocking; }
    DialogAlbum* albumDialog() const { return album.get(); }
    bool isCreditsMode() const;
    // Two credits entries a page.
    static std::int32_t creditsPageCount();

    // Slot 0 is the album's, slot 1 the contents page's: a slot asking for another shape than the arrow
    // wins, the higher slot first.
    void setCursorRequest(std::int32_t shape, std::int32_t slot);

    // The picture of that kind and number, loaded now; the picture of the same kind loaded before is let go.
    graphics::ImageBase* buildCollectablePicture(std::int32_t n);
    graphics::ImageBase* buildCollectablePictureLight(std::int32_t n);
    graphics::ImageBase* buildAlbumLeftPagePicture(std::int32_t n);
    graphics::ImageBase* buildCreditsLeftPagePicture(std::int32_t n);
    // The resource names of the pictures loaded now, one per kind (empty: none yet).
    const std::string& getCollectablePictureName() const { return collectablePictureName; }
    const std::string& getAlbumLeftPagePictureName() const { return albumLeftPagePictureName; }

    ui::Sprite* getCurtain() const { return curtain.get(); }

    // The sections of the turning sheets' strips, forward and backward.
    static constexpr const char* forwardStripSection = "albumturnforward";
    static constexpr const char* backwardStripSection = "albumturnbackward";
    // Asks the loader for the strip of a turn that way, unless it is read already: the page being left
    // fades out meanwhile.
    void prepareTurnStrip(bool forward);
    // The turning sheet's strip of frames, forward or backward: read (cut into its frames as declared) at the
    // first turn that way while the album is open, held here rather than by the loader, and let go with the
    // album. Null when the strip cannot be read.
    graphics::ImageBase* turnStrip(bool forward);
    bool isTurnStripRead(bool forward) const { return turnStrips[forward ? 0 : 1] != nullptr; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    AlbumPictures() = default;
    ~AlbumPictures() override;

    // The album opened hidden in the current scene, with the curtain over it while it fades in.
    DialogAlbum* openHidden();
    void fadeInBehindCurtain();
    void linkCurtainAbove();
    static void onAlbumShown(void* manager, ui::GameNode* node);
    static void onAlbumReady(void* manager, ui::GameNode* node);
    static void releaseAlbum(void* manager, ui::GameNode* node);
    static void dropCurtainPicture(void* manager, ui::GameNode* node);
    graphics::ImageBase* buildPicture(std::string& loaded, const std::string& name);
    void unloadPicture(const std::string& name);

    kernel::SmartPtr<DialogAlbum> album;
    kernel::SmartPtr<kernel::ValueDocument> collectablesDocument;
    std::array<std::int32_t, collectableCount + 1> albumOrder{};
    std::array<std::int32_t, collectableCount + 1> collectableAtPosition{};
    kernel::SmartPtr<ui::Sprite> curtain;
    std::array<kernel::SmartPtr<graphics::ImageBase>, 2> turnStrips;
    std::array<std::int32_t, 2> cursorRequests{2, 2};
    bool albumLocked = true;
    bool albumBlocking = false;
    bool closing = false;
    std::string returnScene;
    std::string collectablePictureName;
    std::string collectablePictureLightName;
    std::string albumLeftPagePictureName;
    std::string creditsLeftPagePictureName;
};

} // namespace game
