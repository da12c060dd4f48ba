#include "engine/ui/SoundSystem.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

using ui::SoundSystem;

namespace {

constexpr unsigned int loopingStream = 0x132;

class SoundSystemTest : public soundtest::SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
            tunes.push_back(dir.write(name, soundtest::wav(soundtest::tone(22050))));
        }
    }

    // Starts tune a, then cross-fades to b as the game does.
    int crossFadeFromAToB() {
        EXPECT_TRUE(system->startMusic(tunes[0], loopingStream));
        const int channelOfA = system->getCurrentSlot().channel;
        system->playMusic(700, 1.0f, 200, tunes[1], 500, loopingStream);
        return channelOfA;
    }

    std::vector<std::string> tunes;
};

TEST(SoundSystemInit, FallsBackToTheSecondOutputAndRunsSilentWhenBothFail) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    host::testing::failCall("FSOUND_Init", -1, 1);
    EXPECT_EQ(SoundSystem::initFmod(44100, 32), host::S_OK);
    EXPECT_TRUE(ui::soundIsUp);
    host::FSOUND_Close();

    host::testing::failCall("FSOUND_Init");
    SoundSystem* system = SoundSystem::create(44100, 32);
    EXPECT_FALSE(ui::soundIsUp);
    EXPECT_FALSE(SoundSystem::canStorePcm());
    EXPECT_FALSE(system->startMusic("a.wav", loopingStream));
    SoundSystem::destroy();
    host::testing::clearFailures();
}

TEST_F(SoundSystemTest, MusicFadeStepsPerMillisecondAndStopsAtItsTarget) {
    ASSERT_TRUE(system->startMusic(tunes[0], loopingStream));
    system->setMusicVolume(200);
    system->setMusicFade(1.0f, 0.0f, 400);
    EXPECT_FLOAT_EQ(system->getCurrentSlot().step, 0.0025f);
    system->onFrame(100);
    EXPECT_FLOAT_EQ(system->getCurrentSlot().fade, 0.75f);
    EXPECT_EQ(host::FSOUND_GetVolume(system->getCurrentSlot().channel), 150);
    system->onFrame(299);
    EXPECT_GT(system->getCurrentSlot().fade, 0.0f);
    system->onFrame(16);
    EXPECT_EQ(system->getCurrentSlot().fade, 0.0f);

    system->setMusicFade(0.0f, 1.0f, 0);
    system->onFrame(1);
    EXPECT_EQ(system->getCurrentSlot().fade, 1.0f);
}

TEST_F(SoundSystemTest, CrossFadeWaitsOutTheStartDelayRewindsOnceAndSwapsAtTheEnd) {
    const int channelOfA = crossFadeFromAToB();
    const ui::MusicSlot& incoming = system->getOtherSlot();
    ASSERT_TRUE(system->isCrossFading());
    EXPECT_EQ(incoming.name, tunes[1]);
    EXPECT_EQ(system->currentMusicName(), tunes[0]) << "the outgoing tune plays until the swap";
    EXPECT_EQ(host::FSOUND_GetVolume(incoming.channel), 0);
    EXPECT_FLOAT_EQ(system->getCurrentSlot().step, 1.0f / 700);
    EXPECT_FLOAT_EQ(incoming.step, 1.0f / 200);

    system->onFrame(250);
    EXPECT_EQ(system->getStartDelay(), 250);
    system->onFrame(250); // the delay ends exactly at 0
    EXPECT_EQ(system->getRewindCount(), 1);
    EXPECT_EQ(incoming.fade, 0.0f) << "the incoming fade waits for the frame after the delay";
    system->onFrame(100);
    EXPECT_FLOAT_EQ(incoming.fade, 0.5f);
    EXPECT_FLOAT_EQ(system->getCurrentSlot().fade, 1.0f - 600.0f / 700);
    system->onFrame(50);
    EXPECT_TRUE(system->isCrossFading()) << "the outgoing tune has not faded out yet";
    system->onFrame(100);

    EXPECT_FALSE(system->isCrossFading());
    EXPECT_EQ(system->currentMusicName(), tunes[1]);
    EXPECT_EQ(system->getOtherSlot().stream, nullptr);
    EXPECT_TRUE(system->getOtherSlot().name.empty());
    EXPECT_FALSE(host::FSOUND_IsPlaying(channelOfA));
    EXPECT_EQ(system->getRewindCount(), 1);
}

TEST_F(SoundSystemTest, StartDelayOvershootRewindsOnce) {
    crossFadeFromAToB();
    system->onFrame(300);
    system->onFrame(300);
    system->onFrame(300);
    EXPECT_EQ(system->getStartDelay(), 0);
    EXPECT_EQ(system->getRewindCount(), 1);
}

TEST_F(SoundSystemTest, PlayMusicOfTheIncomingTuneDoesNothingAndANewTuneEndsTheFadeAtOnce) {
    const int channelOfA = crossFadeFromAToB();
    system->onFrame(100);
    const ui::MusicSlot before = system->getOtherSlot();
    system->playMusic(700, 1.0f, 200, tunes[1], 500, loopingStream);
    EXPECT_EQ(system->getStartDelay(), 400);
    EXPECT_EQ(system->getOtherSlot().channel, before.channel);
    EXPECT_TRUE(host::FSOUND_IsPlaying(channelOfA));

    system->playMusic(700, 1.0f, 200, tunes[2], 500, loopingStream);
    EXPECT_FALSE(host::FSOUND_IsPlaying(channelOfA));
    EXPECT_EQ(system->getCurrentSlot().name, tunes[1]);
    EXPECT_EQ(system->getCurrentSlot().target, 0.0f);
    EXPECT_EQ(system->getOtherSlot().name, tunes[2]);
    EXPECT_EQ(system->getStartDelay(), 500);
}

TEST_F(SoundSystemTest, MutedVolumesAreStoredAndTheRestoreAppliesThem) {
    ASSERT_TRUE(system->startMusic(tunes[0], loopingStream));
    system->mute();
    EXPECT_EQ(host::FSOUND_GetVolume(system->getCurrentSlot().channel), 0);
    system->setSfxVolume(150);
    system->setMusicVolume(80);
    EXPECT_EQ(system->getSfxVolume(), 150);
    EXPECT_EQ(host::FSOUND_GetSFXMasterVolume(), 0);
    EXPECT_EQ(host::FSOUND_GetVolume(system->getCurrentSlot().channel), 0);

    system->stopAllMusic();
    ASSERT_TRUE(system->startMusic(tunes[1], loopingStream));
    EXPECT_EQ(host::FSOUND_GetVolume(system->getCurrentSlot().channel), 0) << "a new tune starts silent";

    system->restore();
    EXPECT_EQ(host::FSOUND_GetSFXMasterVolume(), 150);
    EXPECT_EQ(host::FSOUND_GetVolume(system->getCurrentSlot().channel), 80);
}

TEST_F(SoundSystemTest, AStreamThatCannotBeOpenedLeavesItsSlotEmpty) {
    ASSERT_TRUE(system->startMusic(tunes[0], loopingStream));
    EXPECT_FALSE(system->startMusic(dir.file("missing.ogg"), loopingStream));
    EXPECT_EQ(system->getCurrentSlot().stream, nullptr);
    EXPECT_TRUE(system->currentMusicName().empty());
}

} // namespace
