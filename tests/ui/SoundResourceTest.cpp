#include "engine/ui/SoundResource.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "host/Files.h"

#include "RuntimeDir.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using kernel::SmartPtr;
using ui::Sound;

namespace {

std::uint32_t u32At(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
    }
    return value;
}

std::uint16_t u16At(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                      static_cast<std::uint8_t>(bytes[offset + 1]) << 8);
}

// Resource files are named relative to the working folder, as the game names them.
class SoundResourceTest : public soundtest::SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        dir.write("music/title.ogg", soundtest::ogg(soundtest::tone(1000)));
    }
    void TearDown() override {
        kernel::ResourceManager::destroy();
        std::filesystem::current_path(previous);
        SoundFixture::TearDown();
    }

    SmartPtr<kernel::Resource> declare(const std::string& declaration) {
        dir.write("resources.xml", "<Resources>" + declaration + "</Resources>");
        SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument("resources.xml");
        document->load();
        return static_cast<kernel::Resource*>(
            kernel::ObjectFactory::instance()->createObject(document->getNode("res")));
    }
    SmartPtr<Sound> loadedTitle() {
        SmartPtr<kernel::Resource> made = declare(R"(<Sound id="res" file="music\title.ogg"/>)");
        EXPECT_TRUE(made && made->isKindOf(Sound::classInfo));
        made->load();
        EXPECT_TRUE(made->isLoaded());
        return static_cast<Sound*>(made.get());
    }
    std::string wavBytes() const { return testsupport::TempDir::read(dir.file("music/title_new.wav")); }
    bool wavExists() const { return std::filesystem::exists(dir.path() / "music/title_new.wav"); }

    std::filesystem::path previous;
    testsupport::RuntimeDir runtime;
};

TEST_F(SoundResourceTest, VolumeKeepsTheLowEightBits) {
    SmartPtr<kernel::Resource> sound = declare(R"(<Sound id="res" file="x.wav" volume="300"/>)");
    ASSERT_TRUE(sound);
    EXPECT_EQ(static_cast<Sound*>(sound.get())->getVolume(), 44);
}

TEST_F(SoundResourceTest, OggIsConvertedIntoAWavFileOfTheExactLayout) {
    SmartPtr<Sound> sound = loadedTitle();
    EXPECT_FALSE(sound->hasError());
    EXPECT_EQ(sound->fileName(), "music/title_new.wav");
    ASSERT_NE(sound->getSample(), nullptr);
    EXPECT_TRUE(sound->getSample()->isLoaded());

    const std::string wav = wavBytes();
    ASSERT_EQ(wav.size(), 66u + 2000u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(u32At(wav, 4), 58u + 2000u);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32At(wav, 16), 16u);
    EXPECT_EQ(u16At(wav, 20), 1);      // PCM
    EXPECT_EQ(u16At(wav, 22), 1);      // mono
    EXPECT_EQ(u32At(wav, 24), 22050u); // samples per second
    EXPECT_EQ(u32At(wav, 28), 44100u); // average bytes per second
    EXPECT_EQ(u16At(wav, 32), 2);      // block align
    EXPECT_EQ(u16At(wav, 34), 16);     // bits per sample
    EXPECT_EQ(wav.substr(36, 4), "dep ");
    EXPECT_EQ(u32At(wav, 40), 14u);
    EXPECT_EQ(u16At(wav, 44), 4);
    EXPECT_EQ(wav.substr(46, 4), "test");
    host::FILETIME written;
    host::HANDLE ogg =
        host::CreateFile("music/title.ogg", host::GENERIC_READ, 0, nullptr, host::OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(host::GetFileTime(ogg, nullptr, nullptr, &written));
    host::CloseHandle(ogg);
    EXPECT_NE(written.dwHighDateTime, 0u);
    EXPECT_EQ(u32At(wav, 50), written.dwLowDateTime);
    EXPECT_EQ(u32At(wav, 54), written.dwHighDateTime);
    EXPECT_EQ(wav.substr(58, 4), "data");
    EXPECT_EQ(u32At(wav, 62), 2000u);
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

TEST_F(SoundResourceTest, ACorruptOggSetsTheErrorFlagAndLeavesNoWav) {
    dir.write("music/title.ogg", "OggS but nothing of a vorbis stream follows");
    SmartPtr<Sound> sound = loadedTitle();
    EXPECT_TRUE(sound->hasError());
    EXPECT_EQ(sound->fileName(), "music/title.ogg");
    EXPECT_FALSE(wavExists());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "music/title_new.wav.part"));
}

TEST_F(SoundResourceTest, WithSoundDownNothingIsConvertedAndTheLoadFails) {
    ui::SoundSystem::destroy();
    SmartPtr<Sound> sound = loadedTitle();
    EXPECT_TRUE(sound->hasError());
    EXPECT_FALSE(wavExists());
}

TEST_F(SoundResourceTest, OnlyASoundOfTheSameFileIsTheSame) {
    SmartPtr<kernel::Resource> first = declare(R"(<Sound id="res" file="a.wav" volume="3"/>)");
    SmartPtr<kernel::Resource> second = declare(R"(<Sound id="res" file="a.wav"/>)");
    SmartPtr<kernel::Resource> image = declare(R"(<Image id="res" file="a.wav"/>)");
    SmartPtr<kernel::Resource> elsewhere = declare(R"(<Sound id="res" file="b.wav"/>)");
    EXPECT_TRUE(first->isSame(*second));
    EXPECT_FALSE(first->isSame(*image));
    EXPECT_FALSE(first->isSame(*elsewhere));
}

} // namespace
