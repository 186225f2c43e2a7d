#include "common/safe_name.h"
#include "platform/posix/posix_paths.h"
#include "programs/program_file.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/workspace.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumetra {
namespace {

using namespace lumetra::testing;

struct HeadCase {
    const char* name;
    std::string text;
    ProgramHeadResult result;
    float x, y, z;
    std::string comment;
};

TEST(ProgramHead, ReadsBothHeaderForms) {
    constexpr float k = -1; // the value given in, kept where the file states nothing
    const HeadCase cases[] = {
        {"orx", "ORX V2\r\n; DOOR LEFT \r\nDIM UN=800 Y=600 Z=18\r\n", ProgramHeadResult::Read, 800,
         600, 18, "DOOR LEFT "},
        {"orx_blank_lines", "\r\n   \r\nxorx\r\n\r\n  ;C\r\n \r\nP UN=1 Y=2 Z=3\r\n",
         ProgramHeadResult::Read, 1, 2, 3, ";C"},
        {"orx_run_word", "ORX\r\nAB\r\nRUN A=5 B=6 C=7\r\nDIM UN=8 Y=9 Z=10\r\n",
         ProgramHeadResult::Read, 5, 6, 7, ""},
        {"orx_missing_value", "ORX\r\nABc\r\nD UN=800 Y=\r\n", ProgramHeadResult::Read, 800, 0, 0,
         "c"},
        {"orx_words_read_zero", "ORX\r\nAB\r\nD UN=abc Y=12mm Z=.5\r\n", ProgramHeadResult::Read, 0,
         12, 0.5f, ""},
        {"orx_double_space_shifts", "ORX\r\nAB\r\nD  UN=800 Y=600 Z=18\r\n",
         ProgramHeadResult::Read, 0, 0, 0, ""},
        {"orx_no_dimension_line", "ORX\r\n;C\r\nNOTHING\r\n", ProgramHeadResult::Stopped, k, k, k,
         ""},
        {"one_line", "ORX\r\n", ProgramHeadResult::Stopped, k, k, k, ""},
        {"empty", "", ProgramHeadResult::Stopped, k, k, k, ""},
        {"iso", "G71 X800 Y600 Z18 T1\r\nN10 (DOOR)\r\n", ProgramHeadResult::Read, 800, 600, 18,
         "DOOR"},
        {"iso_no_spaces", "  g70x800y600z18  \r\n(SIDE) x\r\n", ProgramHeadResult::Read, 800, 600,
         18, "SIDE"},
        {"iso_no_z", "G71 X800 Y600\r\n(C)\r\n", ProgramHeadResult::Stopped, 800, 600, k, ""},
        {"iso_bad_x", "G71 X8a Y600 Z18\r\n(C)\r\n", ProgramHeadResult::Stopped, k, k, k, ""},
        {"iso_no_parentheses", "G71 X1 Y2 Z3\r\nN10 TEXT\r\n", ProgramHeadResult::Read, 1, 2, 3,
         ""},
        {"iso_decimals", "G71 X800.5 Y-2 Z 18 \r\n(A)\r\n", ProgramHeadResult::Read, 800.5f, -2, 18,
         "A"},
        {"neither", "G90 X1\r\nx\r\n", ProgramHeadResult::NotProgramFile, k, k, k, ""},
        {"lf_only", "ORX\n;;C\nD UN=4 Y=5 Z=6\n", ProgramHeadResult::Read, 4, 5, 6, "C"},
        {"cr_only", "G71X1Y2Z3\r(K)\r", ProgramHeadResult::Read, 1, 2, 3, "K"},
    };
    for (const HeadCase& c : cases) {
        std::istringstream in(c.text);
        LineReader lines(in);
        const ProgramHead head = readProgramHead(lines, {k, k, k});
        EXPECT_EQ(head.result, c.result) << c.name;
        EXPECT_FLOAT_EQ(head.dimensions.x, c.x) << c.name;
        EXPECT_FLOAT_EQ(head.dimensions.y, c.y) << c.name;
        EXPECT_FLOAT_EQ(head.dimensions.z, c.z) << c.name;
        EXPECT_EQ(head.comment.value_or(""), c.comment) << c.name;
    }
}

TEST(ProgramHead, WholeTextNumbers) {
    EXPECT_EQ(wholeTextNumber(" 800 "), 800.0f);
    EXPECT_EQ(wholeTextNumber("-2.5"), -2.5f);
    EXPECT_FALSE(wholeTextNumber(""));
    EXPECT_FALSE(wholeTextNumber("  "));
    EXPECT_FALSE(wholeTextNumber("8 00"));
    EXPECT_FALSE(wholeTextNumber("0x10"));
    EXPECT_FALSE(wholeTextNumber("inf"));
    EXPECT_FALSE(wholeTextNumber("1e99"));
}

TEST(LineReader, SplitsAtEveryKindOfLineEndAndBoundsLines) {
    std::istringstream in("a\r\nb\rc\nd\r\n\r\ne");
    LineReader lines(in);
    std::vector<std::string> read;
    while (auto line = lines.next())
        read.push_back(*line);
    EXPECT_EQ(read, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));

    std::istringstream huge(std::string(LineReader::kLineLimit + 10, 'x') + "\nnext");
    LineReader bounded(huge);
    EXPECT_EQ(bounded.next()->size(), LineReader::kLineLimit);
    EXPECT_EQ(bounded.next(), "next");
    EXPECT_FALSE(bounded.next());
}

class ProgramFiles : public ::testing::Test {
protected:
    ProgramFiles()
        : paths(driveEnvironment(dir), "/exe"), reader(state, config, paths, dialogs, log) {
        config.gcodePath = "C:\\PRODUCT\\";
        std::filesystem::create_directories(dir.file("PRODUCT"));
    }
    TempDir dir;
    PosixPaths paths;
    Configuration config;
    LabelState state;
    FakeDialogs dialogs;
    OperatorLog log;
    ProgramFileReader reader;
};

TEST_F(ProgramFiles, ReadsTheFileOfTheProgramName) {
    writeFile(dir.file("PRODUCT/P100"), "ORX\r\n;;NOTE\r\nD UN=1 Y=2 Z=3\r\n");
    state.data.programName = "p100  "; // trailing spaces trimmed, case matched on disk
    const Dimensions read = reader.readProgramFile({});
    EXPECT_EQ(read.x, 1);
    EXPECT_EQ(read.z, 3);
    EXPECT_EQ(state.programComment, "NOTE");
}

TEST_F(ProgramFiles, AMissingFileChangesNothingAndSaysNothing) {
    state.data.programName = "NONE";
    state.programComment = "old";
    EXPECT_EQ(reader.readProgramFile({5, 6, 7}).x, 5);
    EXPECT_EQ(state.programComment, "");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ProgramFiles, AFileOfNeitherFormIsReported) {
    writeFile(dir.file("PRODUCT/P9"), "G90\r\nX\r\n");
    state.data.programName = "P9";
    reader.readProgramFile({});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "C:\\PRODUCT\\P9 Not a proper program file");
}

TEST_F(ProgramFiles, NamesThatLeaveTheFolderAreNotRead) {
    writeFile(dir.file("SECRET"), "ORX\r\nxxLEAK\r\nD UN=1 Y=2 Z=3\r\n");
    state.data.programName = "..\\SECRET";
    EXPECT_EQ(reader.readProgramFile({}).x, 0);
    EXPECT_EQ(state.programComment, "");
}

TEST_F(ProgramFiles, BinaryAndHugeFilesNeverBreakTheReader) {
    std::string noise;
    for (int i = 0; i < 3'000'000; ++i)
        noise += static_cast<char>((i * 131 + 7) % 256);
    writeFile(dir.file("PRODUCT/BIN"), noise);
    writeFile(dir.file("PRODUCT/BIG"), "ORX\r\nxx\r\n" + std::string(20'000'000, 'A'));
    for (const char* name : {"BIN", "BIG"}) {
        state.data.programName = name;
        reader.readProgramFile({});
    }
    SUCCEED();
}

TEST(SafeName, RefusesNamesThatLeaveTheFolder) {
    const std::pair<std::string_view, bool> cases[] = {
        {"P100", true},    {"P100.CNC", true}, {"SUB\\P100", true}, {"a..b", true},
        {"", true},        {"..", false},      {"..\\x", false},    {"a\\..\\b", false},
        {"a/../b", false}, {"\\abs", false},   {"/abs", false},     {"C:x", false},
        {"D:\\x", false},  {"a\tb", false},    {"a\x7F", false},    {" .. ", false},
        {"P\xF1", true},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(isSafeName(name), safe) << "«" << name << "»";
}

} // namespace
} // namespace lumetra
