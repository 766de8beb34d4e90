#include "FolderPlatformLinux.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "clsSystemFolder.h"

namespace brackwin {
namespace {

namespace fs = std::filesystem;

// Runs each test in a home of its own, with the XDG and temporary-folder variables it sets,
// and puts the caller's environment back afterwards.
class LinuxFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("brackwin-sysfolder-" + std::to_string(getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        home = root_ / "home";
        fs::create_directories(home);
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "TMPDIR"}) {
            const char* value = getenv(name);
            saved_[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(name);
        }
        setenv("HOME", home.c_str(), 1);
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        fs::remove_all(root_);
    }

    void WriteUserDirs(const fs::path& configHome, const std::string& text) {
        fs::create_directories(configHome);
        std::ofstream(configHome / "user-dirs.dirs") << text;
    }

    fs::path root_;
    fs::path home;
    FolderPlatformLinux platform{"", ""};
    clsSystemFolder folders{platform};

  private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST_F(LinuxFolderTest, HasNoWindowsOrSystemFolder) {
    EXPECT_EQ(folders.Windows(), "");
    EXPECT_EQ(folders.System(), "");
}

TEST_F(LinuxFolderTest, TempIsTmpdirOrTmpWithATrailingSlash) {
    EXPECT_EQ(folders.Temp(), "/tmp/");
    setenv("TMPDIR", "", 1);
    EXPECT_EQ(folders.Temp(), "/tmp/");
    setenv("TMPDIR", "/var/tmp/user", 1);
    EXPECT_EQ(folders.Temp(), "/var/tmp/user/");
    setenv("TMPDIR", "/var/tmp/user/", 1);
    EXPECT_EQ(folders.Temp(), "/var/tmp/user/");
}

TEST_F(LinuxFolderTest, TempKeepsThe256ByteLimit) {
    const std::string fits = "/" + std::string(253, 't') + "/";
    setenv("TMPDIR", fits.c_str(), 1);
    EXPECT_EQ(folders.Temp(), fits);
    const std::string tooLong = "/" + std::string(254, 't');
    setenv("TMPDIR", tooLong.c_str(), 1);
    EXPECT_EQ(folders.Temp(), "");
}

TEST_F(LinuxFolderTest, ShellFoldersDefaultBelowHome) {
    const std::string h = home.string();
    EXPECT_EQ(folders.Desktop(), h + "/Desktop");
    EXPECT_EQ(folders.Personal(), h + "/Documents");
    EXPECT_EQ(folders.Programs(), h + "/.local/share/applications");
    EXPECT_EQ(folders.StartMenu(), h + "/.local/share/applications");
    EXPECT_EQ(folders.Startup(), h + "/.config/autostart");
    EXPECT_EQ(folders.Fonts(), h + "/.local/share/fonts");
}

TEST_F(LinuxFolderTest, ShellFoldersWithoutACounterpartAreEmpty) {
    EXPECT_EQ(folders.Favorites(), "");
    EXPECT_EQ(folders.Recent(), "");
    EXPECT_EQ(folders.SendTo(), "");
}

TEST_F(LinuxFolderTest, ShellFoldersFollowTheXdgBaseFolders) {
    const fs::path config = root_ / "config";
    const fs::path data = root_ / "data";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    EXPECT_EQ(folders.Programs(), (data / "applications").string());
    EXPECT_EQ(folders.Startup(), (config / "autostart").string());
    EXPECT_EQ(folders.Fonts(), (data / "fonts").string());
    setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(folders.Fonts(), home.string() + "/.local/share/fonts");
}

TEST_F(LinuxFolderTest, ShellFoldersFollowTheUserDirsFile) {
    WriteUserDirs(home / ".config",
                  "# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
                  "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n"
                  "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
    EXPECT_EQ(folders.Desktop(), home.string() + "/デスクトップ");
    EXPECT_EQ(folders.Personal(), "/srv/docs");
}

TEST_F(LinuxFolderTest, UserDirsFileIsFoundInXdgConfigHome) {
    const fs::path config = root_ / "config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    WriteUserDirs(config, "XDG_DESKTOP_DIR=\"$HOME/Work \\\"Desk\\\"\"\n");
    EXPECT_EQ(folders.Desktop(), home.string() + "/Work \"Desk\"");
}

TEST_F(LinuxFolderTest, UserDirsEntriesThatAreNotPathsAreIgnored) {
    WriteUserDirs(home / ".config",
                  "XDG_DESKTOP_DIR=\"relative\"\n"
                  "XDG_DOCUMENTS_DIR=$HOME/unquoted\n"
                  "XDG_DESKTOP_DIRX=\"/elsewhere\"\n");
    EXPECT_EQ(folders.Desktop(), home.string() + "/Desktop");
    EXPECT_EQ(folders.Personal(), home.string() + "/Documents");
}

TEST_F(LinuxFolderTest, UserDirsHomeAloneIsTheHomeFolder) {
    WriteUserDirs(home / ".config", "XDG_DESKTOP_DIR=\"$HOME/\"\n");
    EXPECT_EQ(folders.Desktop(), home.string());
}

TEST_F(LinuxFolderTest, ShellFoldersKeepThe256ByteLimit) {
    const std::string name255 = "/" + std::string(254, 'd');
    const std::string name256 = "/" + std::string(255, 'd');
    WriteUserDirs(home / ".config",
                  "XDG_DESKTOP_DIR=\"" + name255 + "\"\nXDG_DOCUMENTS_DIR=\"" + name256 + "\"\n");
    EXPECT_EQ(folders.Desktop(), name255);
    EXPECT_EQ(folders.Personal(), "");
}

TEST_F(LinuxFolderTest, RegistryHoldsNothingButInstallDir) {
    fs::create_directories(root_ / "data" / "winapi");
    FolderPlatformLinux withData("", root_ / "data");
    clsSystemFolder withDataFolders(withData);
    EXPECT_EQ(withDataFolders.Device(), "");
    EXPECT_EQ(withDataFolders.CommonFiles(), "");
    EXPECT_EQ(withDataFolders.Config(), "");
    EXPECT_EQ(withDataFolders.Media(), "");
    EXPECT_EQ(withDataFolders.ProgramFiles(), "");
    EXPECT_EQ(withDataFolders.OldWindows(), "");
    EXPECT_EQ(withDataFolders.VB5Install(), (root_ / "data").string());
}

TEST_F(LinuxFolderTest, InstallDirIsTheInstalledDataFolderBesideTheProgram) {
    const fs::path prefix = root_ / "usr";
    fs::create_directories(prefix / "share" / "brackwin" / "winapi");
    fs::create_directories(root_ / "source" / "data" / "winapi");
    FolderPlatformLinux installed(prefix / "bin" / "brackwin", root_ / "source" / "data");
    EXPECT_EQ(clsSystemFolder(installed).VB5Install(), (prefix / "share" / "brackwin").string());
}

TEST_F(LinuxFolderTest, InstallDirIsTheSourceDataFolderWhenRunFromABuild) {
    fs::create_directories(root_ / "build" / "ui");
    fs::create_directories(root_ / "source" / "data" / "winapi");
    FolderPlatformLinux built(root_ / "build" / "ui" / "brackwin", root_ / "source" / "data/");
    EXPECT_EQ(clsSystemFolder(built).VB5Install(), (root_ / "source" / "data").string());
}

TEST_F(LinuxFolderTest, InstallDirIsEmptyWithoutAWinapiFolder) {
    fs::create_directories(root_ / "usr" / "share" / "brackwin");
    fs::create_directories(root_ / "source" / "data");
    FolderPlatformLinux nowhere(root_ / "usr" / "bin" / "brackwin", root_ / "source" / "data");
    EXPECT_EQ(clsSystemFolder(nowhere).VB5Install(), "");
}

TEST_F(LinuxFolderTest, InstallDirKeepsThe256ByteLimit) {
    for (const std::size_t length : {255u, 256u}) {
        const fs::path data = root_ / std::string(length - root_.string().size() - 1, 'x');
        fs::create_directories(data / "winapi");
        ASSERT_EQ(data.string().size(), length);
        FolderPlatformLinux platformWithData("", data);
        EXPECT_EQ(clsSystemFolder(platformWithData).VB5Install(),
                  length == 255 ? data.string() : "");
    }
}

TEST_F(LinuxFolderTest, DefaultConstructorUsesThisPlatform) {
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(clsSystemFolder().Temp(), "/var/tmp/");
    EXPECT_EQ(clsSystemFolder().Desktop(), home.string() + "/Desktop");
}

}  // namespace
}  // namespace brackwin
