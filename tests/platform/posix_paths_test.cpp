#include "platform/posix/posix_instance_guard.h"
#include "platform/posix/posix_paths.h"
#include "support/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace lumetra {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

Environment fakeEnvironment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const std::string& name) -> std::optional<std::string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

TEST(PosixPaths, FoldersComeFromTheEnvironmentOrTheirDefaults) {
    const PosixPaths configured(
        fakeEnvironment({{"LUMETRA_WINDOWS_DIR", "/w"}, {"LUMETRA_PROGRAM_DIR", "/p"}}), "/exe");
    EXPECT_EQ(configured.windowsDirectory(), "/w");
    EXPECT_EQ(configured.programFolder(), "/p");
    const PosixPaths xdg(fakeEnvironment({{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/h"}}), "/exe");
    EXPECT_EQ(xdg.windowsDirectory(), "/cfg/lumetra");
    EXPECT_EQ(xdg.programFolder(), "/exe");
    const PosixPaths home(fakeEnvironment({{"HOME", "/h"}}), "/exe");
    EXPECT_EQ(home.windowsDirectory(), "/h/.config/lumetra");
}

TEST(PosixPaths, MapsDriveLettersBackslashesAndCase) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "c" / "Velmora" / "Product");
    testing::writeFile((dir.path() / "c" / "Velmora" / "Product" / "P100").string(), "x");
    const PosixPaths paths(fakeEnvironment({{"LUMETRA_DRIVE_C", dir.file("c")}, {"HOME", "/h"}}),
                           "/exe");
    EXPECT_EQ(paths.map("C:\\VELMORA\\PRODUCT\\P100"), dir.file("c") + "/Velmora/Product/P100");
    EXPECT_EQ(paths.map("c:\\velmora\\product\\NEW"), dir.file("c") + "/Velmora/Product/NEW");
    EXPECT_EQ(paths.map("C:\\VELMORA\\PRODUCT\\"), dir.file("c") + "/Velmora/Product/");
    EXPECT_EQ(paths.map("D:\\X"), "/h/.local/share/lumetra/drive_d/X");
    EXPECT_EQ(paths.map(dir.str() + "\\c\\VELMORA"), dir.file("c") + "/Velmora");
}

TEST(Environment, AnEmptyVariableCountsAsUnset) {
    ::setenv("LUMETRA_TEST_ENVIRONMENT", "", 1);
    EXPECT_EQ(processEnvironment("LUMETRA_TEST_ENVIRONMENT"), std::nullopt);
    ::setenv("LUMETRA_TEST_ENVIRONMENT", "0", 1);
    EXPECT_EQ(processEnvironment("LUMETRA_TEST_ENVIRONMENT"), "0");
    ::unsetenv("LUMETRA_TEST_ENVIRONMENT");
    EXPECT_EQ(processEnvironment("LUMETRA_TEST_ENVIRONMENT"), std::nullopt);
}

TEST(PosixPaths, TheCaseBlindLookUpFollowsTheFolder) {
    TempDir dir;
    const PosixPaths paths(fakeEnvironment({{"LUMETRA_DRIVE_C", dir.str()}}), "/exe");
    writeFile(dir.file("Folder/file.csv"), "");
    EXPECT_EQ(paths.map("C:\\FOLDER\\FILE.CSV"), dir.file("Folder/file.csv"));
    writeFile(dir.file("Folder/second.csv"), ""); // after the folder was listed
    EXPECT_EQ(paths.map("C:\\FOLDER\\SECOND.CSV"), dir.file("Folder/second.csv"));
    std::filesystem::rename(dir.file("Folder/file.csv"), dir.file("Folder/File.Csv"));
    EXPECT_EQ(paths.map("C:\\FOLDER\\FILE.CSV"), dir.file("Folder/File.Csv"));
    std::filesystem::remove(dir.file("Folder/File.Csv"));
    EXPECT_EQ(paths.map("C:\\FOLDER\\FILE.CSV"), dir.file("Folder/FILE.CSV"))
        << "a name that is gone is taken as written";
}

TEST(PosixInstanceGuard, OneInstancePerProgramFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("a"));
    std::filesystem::create_directories(dir.file("b"));
    PosixInstanceGuard first(dir.str(), dir.file("own"), dir.file("a"));
    PosixInstanceGuard second(dir.str(), dir.file("own"), dir.file("a/."));
    PosixInstanceGuard other(dir.str(), dir.file("own"), dir.file("b"));
    EXPECT_TRUE(first.acquire());
    EXPECT_TRUE(first.acquire()) << "asking again keeps the lock";
    EXPECT_FALSE(second.acquire()) << "the same folder, spelled differently";
    EXPECT_TRUE(other.acquire());
}

// The lock file's name in a shared folder is known to every local user: a link or a file
// of another user planted there is never used, and the lock goes to the user's own folder.
TEST(PosixInstanceGuard, ALockPlantedInTheSharedFolderIsNeverUsed) {
    TempDir dir;
    const std::string shared = dir.file("tmp");
    std::filesystem::create_directories(shared);
    std::string name;
    {
        PosixInstanceGuard probe(shared, dir.file("own"), dir.file("program"));
        ASSERT_TRUE(probe.acquire());
        for (const auto& entry : std::filesystem::directory_iterator(shared))
            name = entry.path().filename().string();
    }
    ASSERT_FALSE(name.empty());
    writeFile(dir.file("victim"), "precious");
    std::filesystem::permissions(dir.file("victim"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(dir.file("victim"), shared + "/" + name);
    {
        PosixInstanceGuard first(shared, dir.file("own"), dir.file("program"));
        PosixInstanceGuard second(shared, dir.file("own"), dir.file("program"));
        EXPECT_TRUE(first.acquire());
        EXPECT_FALSE(second.acquire()) << "one instance all the same";
        EXPECT_TRUE(std::filesystem::exists(dir.file("own/" + name)));
        EXPECT_EQ((std::filesystem::status(dir.file("own")).permissions() &
                   std::filesystem::perms::group_write),
                  std::filesystem::perms::none);
    }
    EXPECT_EQ(readFile(dir.file("victim")), "precious");
    EXPECT_EQ(std::filesystem::status(dir.file("victim")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    if (::getuid() != 0)
        return; // a file of another user can only be made as root
    std::filesystem::remove(shared + "/" + name);
    writeFile(shared + "/" + name, "");
    ASSERT_EQ(::chown((shared + "/" + name).c_str(), 65534, 65534), 0);
    const int held = ::open((shared + "/" + name).c_str(), O_RDWR);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0) << "the other user holds it";
    PosixInstanceGuard guard(shared, dir.file("own"), dir.file("program"));
    EXPECT_TRUE(guard.acquire()) << "another user's lock never stops this user's program";
    ::close(held);
}

} // namespace
} // namespace lumetra
