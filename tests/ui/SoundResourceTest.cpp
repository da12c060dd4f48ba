#include "engine/ui/SoundResource.h"

#include "engine/kernel/ResourceManager.h"
#include "host/Files.h"

#include "RuntimeDir.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using kernel::SmartPtr;
using ui::Sound;

namespace {

class SoundResourceTest : public soundtest::SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        dir.write("music/title.ogg", soundtest::ogg(soundtest::tone(1000)));
    }
    void TearDown() override {
        kernel::ResourceManager::destroy();
        SoundFixture::TearDown();
    }

    template <class T = kernel::Resource> SmartPtr<T> declare(const std::string& declaration) {
        return testsupport::declareResource<T>(dir, declaration);
    }
    SmartPtr<Sound> loadedTitle() {
        SmartPtr<Sound> made = declare<Sound>(R"(<Sound id="res" file="music\title.ogg"/>)");
        made->load();
        EXPECT_TRUE(made->isLoaded());
        return made;
    }
    std::string wavBytes() const { return testsupport::TempDir::read(dir.file("music/title_new.wav")); }
    bool wavExists() const { return std::filesystem::exists(dir.path() / "music/title_new.wav"); }

    testsupport::RuntimeDir runtime;
};

TEST_F(SoundResourceTest, OggIsConvertedIntoAWavFileOfTheExactLayout) {
    SmartPtr<Sound> sound = loadedTitle();
    EXPECT_FALSE(sound->hasError());
    EXPECT_EQ(sound->fileName(), "music/title_new.wav");
    ASSERT_NE(sound->getSample(), nullptr);
    EXPECT_TRUE(sound->getSample()->isLoaded());

    host::FILETIME written;
    host::HANDLE ogg =
        host::CreateFile("music/title.ogg", host::GENERIC_READ, 0, nullptr, host::OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(host::GetFileTime(ogg, nullptr, nullptr, &written));
    host::CloseHandle(ogg);
    EXPECT_NE(written.dwHighDateTime, 0u);
    // A 16-bit mono PCM header at 22050 per second, then a "dep " chunk holding "test" and the OGG file's
    // time, then the 1000 samples.
    const auto le = testsupport::littleEndian;
    const std::string header = "RIFF" + le(58 + 2000, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                               le(22050, 4) + le(44100, 4) + le(2, 2) + le(16, 2) + "dep " + le(14, 4) +
                               le(4, 2) + "test" + le(written.dwLowDateTime, 4) +
                               le(written.dwHighDateTime, 4) + "data" + le(2000, 4);
    const std::string wav = wavBytes();
    ASSERT_EQ(wav.size(), 66u + 2000u);
    EXPECT_EQ(wav.substr(0, 66), header);
    EXPECT_NE(wav.substr(66), std::string(2000, '\0')) << "the samples are decoded, not left silent";
}

TEST_F(SoundResourceTest, AWholeWavIsReusedAndACutOneIsConvertedAgain) {
    loadedTitle();
    const std::string other = soundtest::wav(soundtest::tone(10));
    dir.write("music/title_new.wav", other);
    SmartPtr<Sound> reused = loadedTitle();
    EXPECT_EQ(reused->fileName(), "music/title_new.wav");
    EXPECT_EQ(wavBytes(), other) << "an existing whole file is used whatever its content";

    std::filesystem::resize_file(dir.path() / "music/title_new.wav", other.size() - 6);
    SmartPtr<Sound> again = loadedTitle();
    EXPECT_FALSE(again->hasError());
    EXPECT_EQ(wavBytes().size(), 66u + 2000u);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "music/title_new.wav.part"));
}

TEST_F(SoundResourceTest, WithoutOggToWavTheOggItselfIsLoaded) {
    kernel::ResourceManager* manager = kernel::ResourceManager::create();
    manager->addDefinitionPath(dir.write(
        "defaults.xml", R"(<Resources><Node id="ResourceDefaults" oggtowav="false"/></Resources>)"));
    manager->loadDefinitions();
    ASSERT_FALSE(manager->isOggToWav());
    SmartPtr<Sound> sound = loadedTitle();
    EXPECT_EQ(sound->fileName(), "music/title.ogg");
    EXPECT_EQ(sound->getSample()->getFileName(), "music/title.ogg");
    EXPECT_FALSE(wavExists());
}

// A corrupt OGG, or sound down: the error flag is set and no WAV file, whole or partial, is left.
TEST_F(SoundResourceTest, AFailedConversionSetsTheErrorFlagAndLeavesNoWav) {
    for (const bool corrupt : {true, false}) {
        SCOPED_TRACE(corrupt ? "corrupt" : "sound down");
        if (corrupt) {
            dir.write("music/title.ogg", "OggS but nothing of a vorbis stream follows");
        } else {
            ui::SoundSystem::destroy();
            dir.write("music/title.ogg", soundtest::ogg(soundtest::tone(1000)));
        }
        SmartPtr<Sound> sound = loadedTitle();
        EXPECT_TRUE(sound->hasError());
        EXPECT_EQ(sound->fileName(), "music/title.ogg");
        EXPECT_FALSE(wavExists());
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "music/title_new.wav.part"));
    }
}

TEST_F(SoundResourceTest, VolumeKeepsTheLowEightBitsAndOnlyASoundOfTheSameFileIsTheSame) {
    EXPECT_EQ(declare<Sound>(R"(<Sound id="res" file="x.wav" volume="300"/>)")->getVolume(), 44);
    SmartPtr<kernel::Resource> first = declare(R"(<Sound id="res" file="a.wav" volume="3"/>)");
    SmartPtr<kernel::Resource> second = declare(R"(<Sound id="res" file="a.wav"/>)");
    SmartPtr<kernel::Resource> image = declare(R"(<Image id="res" file="a.wav"/>)");
    SmartPtr<kernel::Resource> elsewhere = declare(R"(<Sound id="res" file="b.wav"/>)");
    EXPECT_TRUE(first->isSame(*second));
    EXPECT_FALSE(first->isSame(*image));
    EXPECT_FALSE(first->isSame(*elsewhere));
}

} // namespace
