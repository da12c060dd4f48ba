#pragma once

#include "game/field/FieldSprite.h"
#include "game/foundation/LevelFile.h"

#include <string>

namespace game {

// One decoration of a level: its picture from the section "elements", stood with the middle of its bottom
// edge on the level's point, and the name of the renderer layer it goes to ("backbuffer", the resting
// pibbles' layer, unless the level links it under them with "background").
class LevelElementSprite : public FieldSprite {
public:
    static constexpr const char* backgroundLayer = "background";
    static constexpr const char* backBufferLayer = "backbuffer";

    // The picture is loaded when it is not yet; a missing one leaves the sprite without a picture.
    explicit LevelElementSprite(const LevelFile::Element& element);

    int fieldSpriteKind() const override { return LevelElement; }

    const std::string& getImageName() const { return imageName; }
    const std::string& getLinkUnder() const { return linkUnder; }
    void setLinkUnder(const std::string& layer) { linkUnder = layer; }
    bool isBackground() const { return linkUnder == backgroundLayer; }

    static constexpr kernel::ClassInfo classInfo{&FieldSprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::string imageName;
    std::string linkUnder = backBufferLayer;
};

} // namespace game
