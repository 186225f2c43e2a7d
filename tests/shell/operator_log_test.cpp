#include "shell/operator_log.h"
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

} // namespace
} // namespace lumetra
