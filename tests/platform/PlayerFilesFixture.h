#pragma once
// Runs a test in a fresh folder made the working directory, where the player services keep "players/", and
// puts back afterwards what they and the file layer keep between tests.

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/ZipArchive.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/PlayerManager.h"
#include "host/Testing.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

class PlayerFilesFixture : public ::testing::Test {
protected:
    PlayerFilesFixture() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
    }
    ~PlayerFilesFixture() override {
        platform::PlayerManager::destroy();
        platform::HighScoreManager::destroy();
        host::testing::clearFailures();
        kernel::ZipArchive::destroy();
        kernel::FileSourceMode = kernel::modeEncryptZip;
        std::filesystem::current_path(previous);
    }

    static std::string read(const std::string& name) { return TempDir::read(name); }
    static bool has(const std::string& name, const std::string& text) {
        return read(name).find(text) != std::string::npos;
    }
    static bool exists(const std::string& name) { return std::filesystem::exists(name); }

    TempDir dir;
    std::filesystem::path previous;
};

} // namespace testsupport
