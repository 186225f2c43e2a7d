#include "platform/posix/posix_instance_guard.h"
#include "platform/posix/posix_paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>

namespace lumetra {
namespace {

using testing::TempDir;

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

TEST(PosixInstanceGuard, OneInstancePerProgramFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("a"));
    std::filesystem::create_directories(dir.file("b"));
    PosixInstanceGuard first(dir.str(), dir.file("a"));
    PosixInstanceGuard second(dir.str(), dir.file("a/."));
    PosixInstanceGuard other(dir.str(), dir.file("b"));
    EXPECT_TRUE(first.acquire());
    EXPECT_TRUE(first.acquire()) << "asking again keeps the lock";
    EXPECT_FALSE(second.acquire()) << "the same folder, spelled differently";
    EXPECT_TRUE(other.acquire());
}

} // namespace
} // namespace lumetra
