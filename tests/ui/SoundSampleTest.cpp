#include "engine/ui/SoundSample.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

using kernel::SmartPtr;
using ui::SoundSample;

namespace {

class SoundSampleTest : public soundtest::SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        sample = new SoundSample();
        ASSERT_EQ(sample->load(dir.write("click.wav", soundtest::wav(soundtest::tone(22050))), 0x130),
                  host::S_OK);
    }

    // The volume the channel of a play was left at.
    int volumeOfPlay(std::uint8_t own, std::uint8_t volume) {
        sample->setVolume(own);
        return host::FSOUND_GetVolume(sample->play(volume, 128, false));
    }

    SmartPtr<SoundSample> sample;
};

TEST_F(SoundSampleTest, EffectiveVolumeIsPlayVolumeTimesOwnVolumeTruncated) {
    EXPECT_EQ(volumeOfPlay(128, 255), 128);
    EXPECT_EQ(volumeOfPlay(255, 1), 1);
    EXPECT_EQ(volumeOfPlay(1, 200), 0);
    EXPECT_EQ(sample->getLastPlayStart(), SoundSample::PlayStart::Paused);
}

TEST_F(SoundSampleTest, FullVolumeAtCentreUsesThePlainPlayAndAnythingElseThePausedOne) {
    const int plain = sample->play(255, 128, false);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(sample->getLastPlayStart(), SoundSample::PlayStart::Plain);
    EXPECT_EQ(sample->getChannel(), plain);

    const int quieter = sample->play(254, 128, false);
    EXPECT_EQ(sample->getLastPlayStart(), SoundSample::PlayStart::Paused);
    EXPECT_EQ(host::FSOUND_GetVolume(quieter), 254);
    EXPECT_FALSE(host::FSOUND_GetPaused(quieter));

    const int panned = sample->playLooped(255, 127);
    EXPECT_EQ(sample->getLastPlayStart(), SoundSample::PlayStart::Paused);
    EXPECT_EQ(host::FSOUND_GetPan(panned), 127);
    EXPECT_FALSE(host::FSOUND_GetPaused(panned));

    EXPECT_TRUE(sample->stop());
    EXPECT_FALSE(host::FSOUND_IsPlaying(panned));
}

TEST_F(SoundSampleTest, NothingPlaysWithoutASampleOrWithSoundDown) {
    SmartPtr<SoundSample> empty = new SoundSample();
    EXPECT_EQ(empty->play(255, 128, false), -1);
    EXPECT_NE(empty->load(dir.file("missing.wav"), 0x130), host::S_OK);

    ui::SoundSystem::destroy();
    EXPECT_FALSE(ui::soundIsUp);
    EXPECT_EQ(sample->play(255, 128, false), -1);
    EXPECT_FALSE(sample->stop());
    EXPECT_EQ(empty->load(dir.write("other.wav", soundtest::wav(soundtest::tone(10))), 0x130), host::E_FAIL);
}

} // namespace
