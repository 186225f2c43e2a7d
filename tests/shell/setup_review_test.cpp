#include "shell/setup_review.h"

#include "platform/portable/portable_profile.h"
#include "platform/posix/posix_paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using testing::TempDir;
using testing::writeFile;

class Review : public ::testing::Test {
protected:
    Review()
        : paths(
              [this](const std::string& name) -> std::optional<std::string> {
                  if (name == "LUMETRA_PROGRAM_DIR")
                      return dir.file("program");
                  if (name == "LUMETRA_WINDOWS_DIR")
                      return dir.file("windows");
                  if (name == "LUMETRA_DRIVE_C")
                      return dir.file("c");
                  return std::nullopt;
              },
              "/nonexistent"),
          profile(dir.file("windows")), ini(profile, dir.file("program/ORX.INI")) {
        std::filesystem::create_directories(dir.file("program"));
        std::filesystem::create_directories(dir.file("c/VELMORA/PRODUCT"));
    }
    std::vector<Finding> review(const std::string& text) {
        writeFile(dir.file("program/ORX.INI"), text);
        Configuration config;
        config.gcodePath = "C:\\VELMORA\\PRODUCT\\";
        return reviewAtStartUp(ini, paths, config);
    }
    static std::string all(const std::vector<Finding>& findings) {
        std::string text;
        for (const Finding& finding : findings)
            text += findingText(finding) + "\n";
        return text;
    }
    TempDir dir;
    PosixPaths paths;
    PortableProfile profile;
    IniFile ini;
};

TEST_F(Review, AGoodFileHasNothingToSay) {
    EXPECT_EQ(
        all(review("[VOZEZIZO]\r\nCommPort=1\r\nCommPollTime=100\r\nCom7Device=/dev/x\r\n"
                   "FieldCode_SFN=AB\r\nPNameMirrorText=x\r\nLogSizeKB=10\r\nLogFilesKept=99\r\n"
                   "[VELMORA]\r\nNewListCol=A\r\n")),
        "");
}

TEST_F(Review, EachMistakeIsNamedWithWhatToDo) {
    struct Case {
        const char* ini;
        const char* told;
    };
    const Case cases[] = {
        {"[VOZEZlZO]\r\nCommPort=1\r\n", "warning: [VOZEZIZO]: no such section in "},
        {"[VOZEZlZO]\r\nCommPort=1\r\n", "warning: [VOZEZlZO]: section (line 1) is not known: it "
                                         "is not read (did you mean VOZEZIZO?)"},
        {"[VOZEZIZO]\r\nCommPolTime=100\r\n",
         "warning: CommPolTime: key in [VOZEZIZO] is not known: it is not read (did you mean "
         "CommPollTime?)"},
        {"[VOZEZIZO]\r\nFrobnicate=1\r\n", "warning: Frobnicate: key in [VOZEZIZO] is not known: "
                                           "it is not read (remove it)"},
        {"CommPort=1\r\n[VOZEZIZO]\r\n", "warning: ORX.INI: 1 key(s) before the first section"},
        {"[VOZEZIZO]\r\nCommPort=1\r\n[vozezizo]\r\nSettings=x\r\n",
         "warning: [vozezizo]: section (line 3) comes again: only the first one is read"},
        {"[VOZEZIZO]\r\nLogFilesKept=2147483647\r\n",
         "warning: LogFilesKept: 2147483647 is more than 99: 99 old logs are kept"},
    };
    for (const Case& c : cases)
        EXPECT_NE(all(review(c.ini)).find(c.told), std::string::npos) << c.ini << "\n"
                                                                      << all(review(c.ini));
}

TEST_F(Review, AnUnreadableFileIsAnError) {
    std::filesystem::create_directories(dir.file("program/ORX.INI"));
    Configuration config;
    config.gcodePath = "C:\\VELMORA\\PRODUCT\\";
    const auto findings = reviewAtStartUp(ini, paths, config);
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].verdict, Verdict::Error);
    EXPECT_NE(findingText(findings[0]).find("cannot be read (it is a folder, not a file)"),
              std::string::npos);
}

TEST_F(Review, TheProgramFolderNeedsItsBackslashAndMustExist) {
    Configuration config;
    config.gcodePath = "C:\\VELMORA\\PRODUCT";
    auto findings = reviewProgramFolder(config, paths, Verdict::Error);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findingText(findings[0]),
              "warning: GCodePath: C:\\VELMORA\\PRODUCT has no trailing backslash: a program file "
              "is named C:\\VELMORA\\PRODUCTPRODUCTNAME, beside the folder (end it with \\ "
              "(C:\\VELMORA\\PRODUCT\\))");
    config.gcodePath = "C:\\VELMORA\\MISSING\\";
    findings = reviewProgramFolder(config, paths, Verdict::Error);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].verdict, Verdict::Error);
    config.gcodePath = "C:\\velmora\\product\\";
    EXPECT_TRUE(reviewProgramFolder(config, paths, Verdict::Error).empty())
        << "matched ignoring case";
}

TEST_F(Review, EveryValueUsedSaysWhetherTheFileGaveIt) {
    writeFile(dir.file("program/ORX.INI"), "[VOZEZIZO]\r\ncommport=3\r\n");
    Configuration config;
    const auto uses = everySettingUse(ini, ini.outline(), paths, config);
    auto find = [&](const std::string& key) {
        for (const SettingUse& use : uses)
            if (use.key == key)
                return use;
        return SettingUse{};
    };
    EXPECT_TRUE(find("CommPort").fromFile);
    EXPECT_EQ(find("CommPort").value, "3");
    EXPECT_FALSE(find("Settings").fromFile);
    EXPECT_EQ(find("Settings").value, "9600,N,8,1");
    EXPECT_EQ(find("NewListCol").section, "VELMORA");
    EXPECT_FALSE(find("Com3Device").key.empty()) << "the device of the port in use";
    EXPECT_EQ(testing::readFile(dir.file("program/ORX.INI")), "[VOZEZIZO]\r\ncommport=3\r\n")
        << "nothing written";
}

} // namespace
} // namespace lumetra
