#include "base/operator_log.h"
#include "common/log_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

namespace lumetra {
namespace {

TEST(OperatorLog, WritesOneEscapedUtf8LinePerEntry) {
    testing::TempDir dir;
    {
        OperatorLog log(dir.file("op.log"));
        log.write(LogKind::Scan, "%A\tB\r\n\\\xF1%");
        log.write(LogKind::Status, "Ready.");
    }
    const std::string text = testing::readFile(dir.file("op.log"));
    const std::regex line(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}\t(scan|status)\t[^\n]*\n)");
    EXPECT_TRUE(std::regex_search(text, line));
    EXPECT_NE(text.find("\tscan\t%A\\tB\\r\\n\\\\\xC3\xB1%\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tstatus\tReady.\n"), std::string::npos);
}

TEST(OperatorLog, EveryByteThatIsNotPrintableIsEscaped) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x1B[31m", "\\x1B[31m"},
        {"\x7F\x81\x8D\x8F\x90\x9D", "\\x7F\\x81\\x8D\\x8F\\x90\\x9D"},
        {"\x80\xE9", "\xE2\x82\xAC\xC3\xA9"},
        {"\\x41", "\\\\x41"},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(escapedLogText(text), escaped);
}

TEST(OperatorLog, AHugeTextIsLoggedCutWithItsLength) {
    testing::TempDir dir;
    OperatorLog log(dir.file("op.log"));
    log.write(LogKind::Scan, std::string(2 * 1024 * 1024, 'Z'));
    const std::string text = testing::readFile(dir.file("op.log"));
    EXPECT_LT(text.size(), kLongestLoggedText + 100);
    EXPECT_NE(text.find(std::string(kLongestLoggedText, 'Z') + "... (2097152 bytes)\n"),
              std::string::npos);
}

TEST(OperatorLog, RotationUnderABurstKeepsEveryLineInExactlyOneFile) {
    testing::TempDir dir;
    const std::string path = dir.file("op.log");
    constexpr int kLines = 100000;
    {
        OperatorLog log(path);
        log.setRotation({64 * 1024, 1000});
        for (int i = 0; i < kLines; ++i)
            log.write(LogKind::Scan, "line " + std::to_string(i));
    }
    std::vector<int> seen(kLines, 0);
    int files = 0;
    for (int n = 0;; ++n) {
        const std::string name = n == 0 ? path : path + "." + std::to_string(n);
        if (!std::filesystem::exists(name))
            break;
        ++files;
        EXPECT_LE(std::filesystem::file_size(name), 64u * 1024) << name;
        std::istringstream lines(testing::readFile(name));
        for (std::string line; std::getline(lines, line);)
            ++seen.at(static_cast<std::size_t>(std::stoi(line.substr(line.rfind(' ') + 1))));
    }
    EXPECT_GT(files, 10);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kLines) << "each line once, none lost";
}

TEST(OperatorLog, RotationKeepsOnlyTheNewestFiles) {
    testing::TempDir dir;
    const std::string path = dir.file("op.log");
    OperatorLog log(path);
    log.setRotation({1024, 2});
    for (int i = 0; i < 200; ++i)
        log.write(LogKind::Info, "entry " + std::to_string(i) + std::string(40, '.'));
    EXPECT_TRUE(std::filesystem::exists(path + ".1"));
    EXPECT_TRUE(std::filesystem::exists(path + ".2"));
    EXPECT_FALSE(std::filesystem::exists(path + ".3"));
    EXPECT_NE(testing::readFile(path).find("entry 199."), std::string::npos);
    EXPECT_NE(testing::readFile(path + ".1").find("\tinfo\tentry "), std::string::npos);
}

// A full log that cannot move aside (here a folder stands at the name it moves to; on
// Windows a viewer holding the file) keeps every old log and grows in place, saying so once.
TEST(OperatorLog, ALogThatCannotMoveAsideDeletesNoOldLog) {
    testing::TempDir dir;
    const std::string path = dir.file("op.log");
    for (int n = 1; n <= 3; ++n)
        testing::writeFile(path + "." + std::to_string(n), "old " + std::to_string(n));
    std::filesystem::create_directory(path + ".rotating");
    {
        OperatorLog log(path);
        log.setRotation({1024, 3});
        for (int i = 0; i < 200; ++i)
            log.write(LogKind::Info, "entry " + std::to_string(i) + std::string(40, '.'));
    }
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(testing::readFile(path + "." + std::to_string(n)), "old " + std::to_string(n));
    const std::string text = testing::readFile(path);
    EXPECT_NE(text.find("entry 0."), std::string::npos);
    EXPECT_NE(text.find("entry 199."), std::string::npos);
    std::size_t said = 0;
    for (auto at = text.find("cannot be rotated"); at != std::string::npos;
         at = text.find("cannot be rotated", at + 1))
        ++said;
    EXPECT_EQ(said, 1u);
}

// What a kill in the middle of a rotation left under the moving name takes its place among
// the old logs at the next rotation: no line lost, none twice.
TEST(OperatorLog, ARotationCutShortIsFinishedByTheNext) {
    testing::TempDir dir;
    const std::string path = dir.file("op.log");
    testing::writeFile(path + ".1", "older\n");
    testing::writeFile(path + ".rotating", "cut short\n");
    {
        OperatorLog log(path);
        log.setRotation({256, 5});
        for (int i = 0; i < 10; ++i)
            log.write(LogKind::Info, "entry " + std::to_string(i) + std::string(40, '.'));
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".rotating"));
    std::string all;
    for (int n = 6; n >= 1; --n)
        if (std::filesystem::exists(path + "." + std::to_string(n)))
            all += testing::readFile(path + "." + std::to_string(n));
    all += testing::readFile(path);
    EXPECT_EQ(all.find("older\n"), 0u) << all;
    EXPECT_NE(all.find("cut short\n"), std::string::npos);
    EXPECT_LT(all.find("cut short\n"), all.find("entry 0."));
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(all.find("entry " + std::to_string(i) + "."), std::string::npos) << i;
}

// Windows does not remove a folder whose file the log holds open.
#ifndef _WIN32
TEST(OperatorLog, ALogThatCannotBeWrittenIsToldOnceAndHealsItself) {
    testing::TempDir dir;
    std::filesystem::create_directories(dir.file("logs"));
    OperatorLog log(dir.file("logs/op.log"));
    std::vector<std::string> told;
    log.onFailure([&](const std::string& text) { told.push_back(text); });
    log.write(LogKind::Info, "one");
    std::filesystem::remove_all(dir.file("logs"));
    log.write(LogKind::Info, "two");
    log.write(LogKind::Info, "three");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].rfind("Operator log not written: " + dir.file("logs/op.log"), 0), 0u);
    std::filesystem::create_directories(dir.file("logs"));
    log.write(LogKind::Info, "four");
    EXPECT_NE(testing::readFile(dir.file("logs/op.log")).find("\tinfo\tfour\n"), std::string::npos);
}
#endif

} // namespace
} // namespace lumetra
