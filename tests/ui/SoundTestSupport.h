#pragma once
// A fixture with the sound system up on SDL's silent audio driver, in a working folder of its own, and the
// sound files the tests play.

#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "host/Testing.h"

#include "ResourceFolder.h"
#include "SoundFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace soundtest {

using testsupport::ogg;
using testsupport::tone;
using testsupport::wav;

class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        system = ui::SoundSystem::create(44100, 32);
        ASSERT_TRUE(ui::soundIsUp);
    }
    void TearDown() override {
        ui::SoundSystem::destroy();
        host::testing::clearFailures();
    }

    testsupport::WorkingFolder dir;
    ui::SoundSystem* system = nullptr;
};

} // namespace soundtest
