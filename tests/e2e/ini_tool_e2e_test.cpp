#include "e2e/harness.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace lumetra::e2e {
namespace {

struct ToolCase {
    std::string file;
    std::vector<std::string> args; // after the file
    std::string out;
};

TEST(IniToolE2E, ReadsAsTheProfileFunctions) {
    const ToolCase cases[] = {
        {"[S]\r\nk=  value  \r\n", {"get", "S", "k"}, "value\n"},
        {"[S]\r\nk=\"abcdef\"\r\n", {"get", "S", "k", "--size", "7"}, "abcde\n"},
        {"[S]\r\n", {"get", "S", "k", "dflt   "}, "dflt\n"},
        {"[S]\r\nk=-1\r\n", {"getint", "S", "k", "5"}, "4294967295\n"},
        {"[S]\r\nk=\r\n", {"getint", "S", "k", "-1"}, "4294967295\n"},
        {"[S]\r\nk=0x1F\r\n", {"getint", "S", "k", "0"}, "31\n"},
    };
    for (const ToolCase& c : cases) {
        testing::TempDir dir;
        testing::writeFile(dir.file("t.ini"), c.file);
        std::vector<std::string> argv{binary("lumetra-ini"), c.args[0], dir.file("t.ini")};
        argv.insert(argv.end(), c.args.begin() + 1, c.args.end());
        const CommandResult result = runCommand(argv);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, c.out) << c.file;
    }
}

TEST(IniToolE2E, WritesAndDeletes) {
    testing::TempDir dir;
    const std::string file = dir.file("orx.ini");
    const std::string tool = binary("lumetra-ini");
    EXPECT_EQ(runCommand({tool, "set", file, "VOZEZIZO", "AutoClear", " 1"}).exitCode, 0);
    EXPECT_EQ(runCommand({tool, "set", file, "VELMORA", "NewListCol", "AS"}).exitCode, 0);
    EXPECT_EQ(testing::readFile(file),
              "[VOZEZIZO]\r\nAutoClear= 1\r\n[VELMORA]\r\nNewListCol=AS\r\n");
    EXPECT_EQ(runCommand({tool, "delete", file, "VOZEZIZO", "AutoClear"}).exitCode, 0);
    EXPECT_EQ(runCommand({tool, "delete", file, "VELMORA"}).exitCode, 0);
    EXPECT_EQ(testing::readFile(file), "[VOZEZIZO]\r\n");
    EXPECT_EQ(runCommand({tool, "frobnicate", file, "S"}).exitCode, 2);
    const CommandResult folder = runCommand({tool, "set", dir.str(), "S", "k", "v"});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.err.find("not written"), std::string::npos) << "a failed write says why";
}

TEST(IniToolE2E, ABareNameIsInTheWindowsDirectoryWhichIsCreatedOnTheFirstWrite) {
    testing::TempDir dir;
    const std::string windows = dir.file("config/lumetra");
    const std::map<std::string, std::string> env = {{"LUMETRA_WINDOWS_DIR", windows}};
    const std::string tool = binary("lumetra-ini");
    EXPECT_EQ(runCommand({tool, "set", "ORX.INI", "VOZEZIZO", "CommPort", "2"}, env).exitCode, 0);
    EXPECT_EQ(testing::readFile(windows + "/ORX.INI"), "[VOZEZIZO]\r\nCommPort=2\r\n");
    EXPECT_EQ(runCommand({tool, "get", "ORX.INI", "VOZEZIZO", "CommPort"}, env).out, "2\n");
}

} // namespace
} // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

TEST(InstallE2E, InstallsTheProgramToolsAndTheirDocumentation) {
    testing::TempDir prefix;
    const CommandResult installed =
        runCommand({"/usr/bin/cmake", "--install", LUMETRA_BUILD_DIR, "--prefix", prefix.str()});
    ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;
    for (const char* file :
         {"bin/lumetra", "bin/lumetra-ini", "bin/lumetra-scan",
          "share/applications/lumetra.desktop", "share/icons/hicolor/scalable/apps/lumetra.svg",
          "share/metainfo/com.lumetra.Lumetra.metainfo.xml", "share/man/man1/lumetra.1",
          "share/man/man1/lumetra-scan.1", "share/man/man1/lumetra-ini.1",
          "share/man/man1/lumetra-editor.1", "share/doc/Lumetra/ORX.INI.sample",
          "share/doc/Lumetra/ini-keys.md"})
        EXPECT_TRUE(std::filesystem::exists(prefix.file(file))) << file;
    for (const char* page : {"lumetra", "lumetra-scan", "lumetra-ini", "lumetra-editor"}) {
        const CommandResult shown = runCommand(
            {"/usr/bin/man", "-l", prefix.file(std::string("share/man/man1/") + page + ".1")},
            {{"MANPAGER", "cat"}, {"PAGER", "cat"}, {"MANWIDTH", "80"}});
        EXPECT_EQ(shown.exitCode, 0) << page << shown.err;
        EXPECT_NE(shown.out.find("NAME"), std::string::npos) << page;
    }
    EXPECT_FALSE(std::filesystem::exists(prefix.file("bin/lumetra-editor")))
        << "the stand-in editor is no part of an installed workstation";
    const CommandResult demo = runCommand({"/usr/bin/cmake", "--install", LUMETRA_BUILD_DIR,
                                           "--prefix", prefix.str(), "--component", "demo"});
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    EXPECT_TRUE(std::filesystem::exists(prefix.file("share/lumetra/demo/lumetra-editor")));
    // The manual names where the installed files are.
    const CommandResult manual =
        runCommand({"/usr/bin/man", "-l", prefix.file("share/man/man1/lumetra.1")},
                   {{"MANPAGER", "cat"}, {"PAGER", "cat"}, {"MANWIDTH", "200"}});
    for (const char* named : {"/doc/Lumetra/ORX.INI.sample", "--check",
                              "/metainfo/com.lumetra.Lumetra.metainfo.xml", "/bin/lumetra"})
        EXPECT_NE(manual.out.find(named), std::string::npos) << named << manual.out;
    // The sample's comments stand on their own lines: every value reads as meant.
    const std::string sample = prefix.file("share/doc/Lumetra/ORX.INI.sample");
    EXPECT_EQ(runCommand({binary("lumetra-ini"), "get", sample, "VOZEZIZO", "Settings"}).out,
              "9600,N,8,1\n");
    EXPECT_EQ(
        runCommand({binary("lumetra-ini"), "getint", sample, "VOZEZIZO", "CommPollTime", "0"}).out,
        "200\n");
}

} // namespace
} // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

TEST(ToolConventionsE2E, HelpVersionBadArgumentsAndStandardInput) {
    struct Case {
        std::vector<std::string> argv;
        int exitCode;
        std::string inOut; // found on standard output
        std::string inErr; // found on standard error
    };
    const std::string scan = binary("lumetra-scan");
    const std::string ini = binary("lumetra-ini");
    const std::string editor = binary("lumetra-editor");
    const Case cases[] = {
        {{scan, "--help"}, 0, "--pause", ""},
        {{scan, "--version"}, 0, "lumetra-scan 7.0.0", ""},
        {{scan, "--pause", "abc", "--print", "x"}, 2, "", "--pause"},
        {{scan, "--bogus", "--print"}, 2, "", "--bogus"},
        {{scan, "--print", "--device"}, 2, "", "--device"},
        {{scan, "--print", "--pause=10", "a\\x41"}, 0, "aA\n", ""},
        {{scan, "--print", "bad\\q"}, 2, "", "bad escape"},
        {{scan, "x"}, 2, "", "exactly one of --pty, --device and --print"},
        {{ini, "--help"}, 0, "getint", ""},
        {{ini, "--version"}, 0, "lumetra-ini 7.0.0", ""},
        {{ini, "frobnicate"}, 2, "", "subcommand is required"},
        {{ini, "set", "f.ini"}, 2, "", "required"},
        {{ini, "get", "f.ini", "S", "k", "--size", "many"}, 2, "", "--size"},
        {{editor, "--help"}, 0, "--show-after", ""},
        {{editor, "--version"}, 0, "lumetra-editor 7.0.0", ""},
    };
    for (const Case& c : cases) {
        const CommandResult result = runCommand(c.argv, {{"QT_QPA_PLATFORM", "offscreen"}});
        std::string line;
        for (const auto& arg : c.argv)
            line += arg.substr(arg.rfind('/') + 1) + " ";
        EXPECT_EQ(result.exitCode, c.exitCode) << line << result.err;
        EXPECT_NE(result.out.find(c.inOut), std::string::npos) << line << result.out;
        EXPECT_NE(result.err.find(c.inErr), std::string::npos) << line << result.err;
        if (c.exitCode == 2) {
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1)
                << line << result.err;
        }
    }
}

TEST(ToolConventionsE2E, AFileOfScansNamesTheLineOfABadEscape) {
    testing::TempDir dir;
    testing::writeFile(dir.file("scans.txt"), "%11P1 N 1 %\r\n%START%\\q\r\n");
    const CommandResult result =
        runCommand({binary("lumetra-scan"), "--print", "--file", dir.file("scans.txt")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("scans.txt:2: bad escape"), std::string::npos) << result.err;
}

} // namespace
} // namespace lumetra::e2e
