#include "base/operator_log.h"
#include "common/log_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <regex>

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
