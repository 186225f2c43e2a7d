// Every write, flush, close and rename of the files the program keeps fails in turn:
// the old file stays as it was, the failure is shown, and a later write succeeds.
#include "base/ini_file.h"
#include "common/safe_name.h"
#include "common/temporary_name.h"
#include "common/text.h"
#include "faults/fault_shim.h"
#include "platform/files.h"
#include "support/label_rig.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

struct Step {
    const char* operation;
    int error;
};

// Every operation a replacement or an append goes through, with the errors of a full
// disk and a failing device.
const Step kSteps[] = {{"open", ENOSPC}, {"write", ENOSPC}, {"write", EIO},   {"fsync", EIO},
                       {"close", EIO},   {"rename", EIO},   {"fsync", ENOSPC}};

// A journal as the hand-off writes it before an append.
std::string journalText(std::size_t before, const std::string& block, const std::string& input) {
    char checksum[17];
    std::snprintf(checksum, sizeof checksum, "%016llx",
                  static_cast<unsigned long long>(textHash(block)));
    return "lumetra-csv-journal 2\n" + std::to_string(before) + "\n" +
           std::to_string(block.size()) + "\n" + checksum + "\n" + input + "\n";
}

std::size_t temporaryFiles(const std::string& folder) {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        n += isTemporaryFileName(entry.path().filename().string());
    return n;
}

class Faults : public ::testing::Test {
protected:
    void TearDown() override { lumetraFaultClear(); }
};

TEST_F(Faults, AFailedIniWriteLeavesTheFileByteForByteAndIsToldOncePerKey) {
    for (const Step& step : kSteps) {
        int strikes = 0;
        for (int n = 1; n <= 3; ++n) {
            TempDir dir;
            const std::string path = dir.file("ORX.INI");
            const std::string before = "[VOZEZIZO]\r\nSettings=9600,N,8,1\r\nAutoClear= 1\r\n";
            writeFile(path, before);
            PortableProfile profile(dir.str());
            IniFile ini(profile, path);
            std::vector<std::string> told;
            ini.onWriteFailure([&](const std::string& text) { told.push_back(text); });
            // The temporary file the replacement writes, then renames over ORX.INI.
            lumetraFaultSet(step.operation, n, step.error, ".lumetra-tmp-", 1);
            const bool written = ini.write(kMainSection, "AutoClear", " 0");
            ini.write(kMainSection, "AutoClear", " 0");
            const bool struck = lumetraFaultHits() > 0;
            strikes += struck;
            lumetraFaultClear();
            const std::string what = std::string(step.operation) + " #" + std::to_string(n);
            if (!struck) {
                EXPECT_TRUE(written) << what;
                continue;
            }
            EXPECT_FALSE(written) << what;
            EXPECT_EQ(readFile(path), before) << what;
            ASSERT_EQ(told.size(), 1u) << what << ": once per failing key";
            EXPECT_EQ(told[0].rfind("Setting not saved in ORX.INI: AutoClear (", 0), 0u) << told[0];
            EXPECT_EQ(temporaryFiles(dir.str()), 0u) << what;
            EXPECT_TRUE(ini.write(kMainSection, "AutoClear", " 0")) << what;
            EXPECT_EQ(readFile(path), "[VOZEZIZO]\r\nSettings=9600,N,8,1\r\nAutoClear= 0\r\n");
        }
        EXPECT_GT(strikes, 0) << step.operation << " was never reached";
    }
}

TEST_F(Faults, AFailedProgramWriteKeepsTheOldProgramAndAddsNoLine) {
    for (const Step& step : kSteps) {
        LabelRig rig;
        writeFile(rig.program("PROG"), "OLD PROGRAM TEXT");
        rig.panel.options[Option::Overwrite] = 1;
        lumetraFaultSet(step.operation, 1, step.error, "PRODUCT/.lumetra-tmp-", 1);
        rig.importProgram("PROG^X1^Y2^Z3!NEW PROGRAM TEXT THAT IS LONGER");
        const bool struck = lumetraFaultHits() > 0;
        lumetraFaultClear();
        ASSERT_TRUE(struck) << step.operation;
        EXPECT_EQ(readFile(rig.program("PROG")), "OLD PROGRAM TEXT") << step.operation;
        EXPECT_EQ(rig.panel.status().rfind("Program file not saved: C:\\PRODUCT\\PROG (", 0), 0u)
            << rig.panel.status();
        EXPECT_TRUE(rig.lines().empty()) << "the old program would run under the new line";
        EXPECT_EQ(temporaryFiles(rig.dir.file("PRODUCT")), 0u) << step.operation;
    }
}

// Whatever fails once the append has begun, the disk decides: the block is either cut off
// again (the per-program file stays) or whole and delivered (it goes). Either way it is in
// the collecting file exactly once after the next scan of the label.
TEST_F(Faults, AFailedHandOffDeliversTheBlockExactlyOnce) {
    struct Case {
        Step step;
        const char* path;
        bool delivered; // the block reached the collecting file whole
    };
    const Case cases[] = {
        {{"open", ENOSPC}, "Lumetra.csv", false},  {{"write", ENOSPC}, "Lumetra.csv", false},
        {{"write", EIO}, "Lumetra.csv", false},    {{"fsync", ENOSPC}, "Lumetra.csv", false},
        {{"fsync", EIO}, "Lumetra.csv", false},    {{"close", EIO}, "Lumetra.csv", true},
        {{"close", EIO}, ".lumetra-tmp-", false}, // the journal's
        {{"rename", EIO}, ".lumetra-tmp-", false},
    };
    for (const Case& c : cases) {
        const Step& step = c.step;
        LabelRig rig;
        const std::string collected = "EARLIER;BLOCK\r\n";
        const std::string block = std::string(300, 'x') + "\r\n";
        writeFile(rig.dir.file("Lumetra.csv"), collected);
        writeFile(rig.dir.file("CSV/P1.CSV"), block);
        lumetraFaultSet(step.operation, 1, step.error, c.path, 1);
        rig.state.data.programName = "P1";
        rig.exporter.writeLabelExport();
        const bool struck = lumetraFaultHits() > 0;
        lumetraFaultClear();
        const std::string what = std::string(step.operation) + " " + c.path;
        ASSERT_TRUE(struck) << what;
        EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), collected + (c.delivered ? block : ""))
            << what;
        EXPECT_EQ(std::filesystem::exists(rig.dir.file("CSV/P1.CSV")), !c.delivered) << what;
        if (!c.delivered) {
            EXPECT_EQ(rig.panel.status().rfind("CSV export failed: ", 0), 0u) << rig.panel.status();
        }
        rig.exporter.writeLabelExport(); // the operator scans the label again
        EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), collected + block)
            << what << ": the block is there once";
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("CSV/P1.CSV")));
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("Lumetra.csv.lumetra-journal")));
        EXPECT_EQ(temporaryFiles(rig.dir.str()), 0u) << what;
    }
}

TEST_F(Faults, AFailedAppendLeavesTheCollectingFileAsItWas) {
    const Step steps[] = {
        {"open", ENOSPC}, {"write", ENOSPC}, {"write", EIO}, {"fsync", ENOSPC}, {"fsync", EIO}};
    for (const Step& step : steps) {
        LabelRig rig;
        const std::string collected = "EARLIER;BLOCK\r\n";
        writeFile(rig.dir.file("Lumetra.csv"), collected);
        writeFile(rig.dir.file("CSV/P1.CSV"), std::string(300, 'x') + "\r\n");
        lumetraFaultSet(step.operation, 1, step.error, "Lumetra.csv", 1);
        rig.state.data.programName = "P1";
        rig.exporter.writeLabelExport();
        const bool struck = lumetraFaultHits() > 0;
        lumetraFaultClear();
        ASSERT_TRUE(struck) << step.operation;
        EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), collected) << step.operation;
        EXPECT_TRUE(std::filesystem::exists(rig.dir.file("CSV/P1.CSV"))) << step.operation;
        EXPECT_EQ(rig.panel.status().rfind("CSV export failed: ", 0), 0u) << rig.panel.status();
        rig.exporter.writeLabelExport();
        EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), collected + std::string(300, 'x') + "\r\n")
            << step.operation << ": the retry appends the block once";
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("CSV/P1.CSV")));
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("Lumetra.csv.lumetra-journal")));
    }
}

TEST_F(Faults, AnInterruptedHandOffIsCompletedOrUndoneOnce) {
    const std::string block = "P1;DOOR\r\n";
    struct Case {
        const char* name;
        std::string collected; // what the collecting file holds after the kill
        bool inputLeft;
    };
    const Case cases[] = {
        {"killed before the append", "OLD\r\n", true},
        {"killed mid-append", "OLD\r\nP1;D", true},
        {"killed before the delete", "OLD\r\n" + block, true},
        {"killed after the delete", "OLD\r\n" + block, false},
    };
    for (const Case& c : cases) {
        LabelRig rig;
        writeFile(rig.dir.file("Lumetra.csv"), c.collected);
        if (c.inputLeft)
            writeFile(rig.dir.file("CSV/P1.CSV"), block);
        writeFile(rig.dir.file("Lumetra.csv.lumetra-journal"),
                  journalText(5, block, rig.dir.file("CSV/P1.CSV")));
        rig.exporter.recover();
        rig.state.data.programName = "P1";
        rig.exporter.writeLabelExport(); // the operator scans the label again
        EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), "OLD\r\n" + block) << c.name;
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("CSV/P1.CSV"))) << c.name;
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("Lumetra.csv.lumetra-journal")));
    }
}

// Delivered, then killed before the delete; meanwhile the other system wrote the
// per-program file anew. The journal recognises the block written, not the file's content.
TEST_F(Faults, ARewrittenPerProgramFileKeepsTheDeliveredBlockAndIsDeliveredNext) {
    LabelRig rig;
    const std::string delivered = "P1;OLD ROWS\r\n";
    writeFile(rig.dir.file("Lumetra.csv"), "EARLIER\r\n" + delivered);
    writeFile(rig.dir.file("CSV/P1.CSV"), "P1;NEW ROWS\r\n");
    writeFile(rig.dir.file("Lumetra.csv.lumetra-journal"),
              journalText(9, delivered, rig.dir.file("CSV/P1.CSV")));
    rig.exporter.recover();
    EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), "EARLIER\r\n" + delivered);
    EXPECT_EQ(readFile(rig.dir.file("CSV/P1.CSV")), "P1;NEW ROWS\r\n") << "not delivered yet";
    rig.state.data.programName = "P1";
    rig.exporter.writeLabelExport();
    EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), "EARLIER\r\n" + delivered + "P1;NEW ROWS\r\n");
    EXPECT_FALSE(std::filesystem::exists(rig.dir.file("CSV/P1.CSV")));
}

// The journal lies in a folder other users write into: it is never trusted to name a file.
TEST_F(Faults, AJournalNamingAFileOutsideTheInputFolderIsSetAside) {
    const std::string outside[] = {"OUTSIDE.CSV", "CSV/../OUTSIDE.CSV",
                                   "CSV/SUB/../../OUTSIDE.CSV"};
    for (const std::string& named : outside) {
        LabelRig rig;
        writeFile(rig.dir.file("OUTSIDE.CSV"), "x\r\n");
        writeFile(rig.dir.file("Lumetra.csv"), "EARLIER\r\nx\r\n");
        writeFile(rig.dir.file("Lumetra.csv.lumetra-journal"),
                  journalText(9, "x\r\n", rig.dir.file(named)));
        rig.exporter.recover();
        EXPECT_TRUE(std::filesystem::exists(rig.dir.file("OUTSIDE.CSV"))) << named;
        EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), "EARLIER\r\nx\r\n") << named;
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("Lumetra.csv.lumetra-journal")));
        EXPECT_TRUE(std::filesystem::exists(rig.dir.file("Lumetra.csv.lumetra-journal.set-aside")));
        EXPECT_NE(readFile(rig.log.path()).find("\terror\tCSV hand-off journal "),
                  std::string::npos);
    }
    LabelRig rig;
    writeFile(rig.dir.file("Lumetra.csv.lumetra-journal"), "5\n3\n/etc/passwd\n");
    rig.exporter.recover();
    EXPECT_TRUE(std::filesystem::exists(rig.dir.file("Lumetra.csv.lumetra-journal.set-aside")))
        << "a journal in no known form is set aside too";
}

TEST_F(Faults, AnExistingProgramThatCannotBeOpenedIsReplaced) {
    LabelRig rig;
    rig.panel.options[Option::Overwrite] = 0;
    // A socket: it exists, and opening it fails for every user.
    const std::string path = rig.program("SOCK");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    rig.importProgram("SOCK^X1^Y2^Z3!THE PROGRAM BODY");
    ::close(fd);
    EXPECT_EQ(readFile(path), "THE PROGRAM BODY");
    EXPECT_NE(readFile(rig.log.path()).find("the existing program file cannot be read"),
              std::string::npos);
}

// A temporary file's name cannot be known in advance; it is still never opened through
// something planted there: it is created new and exclusively, without following a link.
TEST_F(Faults, TemporaryFilesAreCreatedNewAndNeverThroughALink) {
    TempDir dir;
    ASSERT_TRUE(replaceFile(dir.file("PROG"), "body"));
    const int flags = lumetraOpenFlags(".lumetra-tmp-");
    ASSERT_NE(flags, -1);
    EXPECT_EQ(flags & (O_CREAT | O_EXCL | O_NOFOLLOW), O_CREAT | O_EXCL | O_NOFOLLOW);
    EXPECT_EQ(flags & O_TRUNC, 0);
}

TEST_F(Faults, TemporaryFilesOfDeadProcessesAreRemovedAndNeverTakenForPrograms) {
    TempDir dir;
    const std::string mine = ".lumetra-tmp-" + std::to_string(::getpid()) + "-0123456789abcdef";
    writeFile(dir.file(".lumetra-tmp-999999999-0123456789abcdef"), "half");
    writeFile(dir.file("PROG.lumetra-tmp-999999998"), "half, of an earlier version");
    writeFile(dir.file(mine), "mine");
    writeFile(dir.file("PROG"), "whole");
    auto removed = removeStaleTemporaryFiles(dir.str());
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{".lumetra-tmp-999999999-0123456789abcdef",
                                                 "PROG.lumetra-tmp-999999998"}));
    EXPECT_TRUE(std::filesystem::exists(dir.file(mine)));
    EXPECT_TRUE(std::filesystem::exists(dir.file("PROG")));
    EXPECT_FALSE(isUsableProgramName(".lumetra-tmp-999999999-0123456789abcdef"));
    EXPECT_FALSE(isUsableProgramName("PROG.lumetra-tmp-999999999"));
}

} // namespace
} // namespace lumetra
