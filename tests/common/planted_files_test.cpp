// The program's folders are shares that other users write into. Whatever they plant at a
// name the program writes (a link to a file of the operator's, a hard link, a FIFO), that
// file stays as it was, the program's own file is written or the write refused with a
// clear message, nothing hangs and nothing is left behind.
#include "common/temporary_name.h"
#include "platform/files.h"
#include "platform/portable/portable_profile.h"
#include "support/label_rig.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;
namespace fs = std::filesystem;

enum class Plant { Symlink, HardLink, Fifo };

const char* plantName(Plant plant) {
    switch (plant) {
    case Plant::Symlink:
        return "a symbolic link";
    case Plant::HardLink:
        return "a hard link";
    case Plant::Fifo:
        return "a FIFO";
    }
    return "";
}

class Planted : public ::testing::TestWithParam<Plant> {
protected:
    Planted() {
        writeFile(victim, "precious");
        fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
    }
    // What another user leaves at `path`: something leading to the operator's file.
    void plantAt(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        switch (GetParam()) {
        case Plant::Symlink:
            fs::create_symlink(victim, path);
            break;
        case Plant::HardLink:
            fs::create_hard_link(victim, path);
            break;
        case Plant::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
            break;
        }
    }
    void expectVictimUntouched(const std::string& what) {
        EXPECT_EQ(readFile(victim), "precious") << what << " through " << plantName(GetParam());
        EXPECT_EQ(fs::status(victim).permissions(), fs::perms::owner_read | fs::perms::owner_write)
            << what;
    }
    // The earlier versions' name for the temporary file of `path` in this process.
    static std::string oldTemporaryName(const std::string& path) {
        return path + ".lumetra-tmp-" + std::to_string(::getpid());
    }
    static std::size_t temporaryFiles(const std::string& folder) {
        std::size_t n = 0;
        for (const auto& entry : fs::directory_iterator(folder))
            n += isTemporaryFileName(entry.path().filename().string());
        return n;
    }

    LabelRig rig;
    std::string victim = rig.dir.file("outside/victim");
};

TEST_P(Planted, AProgramFileIsWrittenAsAFileOfItsOwn) {
    const std::string program = rig.program("PROG");
    plantAt(program);
    rig.importProgram("PROG^X1^Y2^Z3!THE NEW PROGRAM BODY");
    expectVictimUntouched("the program file");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(program)));
    EXPECT_EQ(readFile(program), "THE NEW PROGRAM BODY");
    EXPECT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(temporaryFiles(rig.dir.file("PRODUCT")), 0u);
}

TEST_P(Planted, OrxIniIsWrittenAsAFileOfItsOwn) {
    const std::string ini = rig.dir.file("ORX.INI");
    writeFile(ini, "[VOZEZIZO]\r\nAutoClear= 1\r\n");
    plantAt(oldTemporaryName(ini));
    PortableProfile profile(rig.dir.str());
    EXPECT_TRUE(profile.writeString(ini, "VOZEZIZO", std::string_view("AutoClear"),
                                    std::string_view(" 0")));
    expectVictimUntouched("ORX.INI");
    EXPECT_EQ(readFile(ini), "[VOZEZIZO]\r\nAutoClear= 0\r\n");
    EXPECT_EQ(temporaryFiles(rig.dir.str()), 1u) << "only the one planted";
}

TEST_P(Planted, TheCsvJournalIsNeverFollowed) {
    plantAt(rig.dir.file("Lumetra.csv.lumetra-journal"));
    writeFile(rig.dir.file("CSV/P1.CSV"), "P1;DOOR\r\n");
    rig.state.data.programName = "P1";
    rig.exporter.writeLabelExport();
    expectVictimUntouched("the CSV journal");
    EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), "P1;DOOR\r\n");
    EXPECT_FALSE(fs::exists(rig.dir.file("CSV/P1.CSV")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(rig.dir.file("Lumetra.csv.lumetra-journal"))));
}

TEST_P(Planted, TheCompressedScansTemporaryFilesAreReplacedNotFollowed) {
    for (const char* name : {"Velmora/Bin/Temp.Cmp", "Velmora/Bin/Temp.Dat"}) {
        fs::remove_all(rig.dir.file("Velmora"));
        plantAt(rig.dir.file(name));
        const std::string text(30000, 'Q'); // the file route
        EXPECT_EQ(rig.expander.expandPayload(compressedScan(text)), text) << name;
        expectVictimUntouched(name);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(rig.dir.file(name)))) << name;
    }
}

TEST_P(Planted, TheLogIsNotWrittenIntoAPlantedFile) {
    const std::string path = rig.dir.file("logs/Lumetra.log");
    plantAt(path);
    OperatorLog log(path);
    std::string told;
    log.onFailure([&](const std::string& text) { told = text; });
    log.write(LogKind::Info, "a line");
    expectVictimUntouched("the operator log");
    EXPECT_EQ(told.rfind("Operator log not written: " + path + " (", 0), 0u) << told;
}

TEST_P(Planted, TheCollectingCsvFileIsNeverAppendedToThroughAPlant) {
    const std::string collecting = rig.dir.file("Lumetra.csv");
    plantAt(collecting);
    writeFile(rig.dir.file("CSV/K1.CSV"), "K1;ROW\r\n");
    rig.state.data.programName = "K1";
    rig.exporter.writeLabelExport(); // a FIFO would block here for ever
    expectVictimUntouched("the collecting CSV file");
    EXPECT_EQ(readFile(rig.dir.file("CSV/K1.CSV")), "K1;ROW\r\n") << "kept for the next scan";
    ASSERT_FALSE(rig.panel.statuses.empty());
    EXPECT_NE(rig.panel.statuses.back().find("a link, a FIFO or another file than a regular one"),
              std::string::npos)
        << rig.panel.statuses.back();
}

// A journal another user left beside the collecting file (naming a per-program file, an
// offset and a length) never cuts a file: neither the link's target nor the office's rows.
TEST_P(Planted, AForgedJournalCutsNothing) {
    const std::string collecting = rig.dir.file("Lumetra.csv");
    const std::string rows(600, 'r');
    for (const bool linked : {false, true}) {
        fs::remove(collecting);
        if (linked)
            plantAt(collecting);
        else
            writeFile(collecting, rows);
        writeFile(rig.dir.file("CSV/K1.CSV"), "K1;ROW\r\n");
        writeFile(collecting + ".lumetra-journal",
                  "lumetra-csv-journal 2\n0\n10\n0123456789abcdef\n" + rig.dir.file("CSV/K1.CSV") +
                      "\n");
        rig.exporter.recover(); // as a new start settles the journal it finds
        expectVictimUntouched(linked ? "a link at the collecting file" : "the collecting file");
        if (!linked) {
            EXPECT_EQ(readFile(collecting), rows) << "the office's rows stay";
        }
        fs::remove(collecting + ".lumetra-journal");
        fs::remove(collecting + ".lumetra-journal.set-aside");
    }
}

INSTANTIATE_TEST_SUITE_P(Plants, Planted,
                         ::testing::Values(Plant::Symlink, Plant::HardLink, Plant::Fifo));

TEST(TemporaryNames, AreNewUnguessableShortAndKnownForTheCleanUp) {
    TempDir dir;
    const std::string longest = dir.file(std::string(255, 'L'));
    const std::string first = temporaryPathBeside(longest);
    const std::string second = temporaryPathBeside(longest);
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).parent_path(), dir.path());
    EXPECT_LT(fs::path(first).filename().string().size(), 64u);
    EXPECT_TRUE(isTemporaryFileName(fs::path(first).filename().string()));
    EXPECT_TRUE(replaceFile(longest, "a program with the longest name"))
        << "a 255-byte name still has room for its temporary file";
    EXPECT_EQ(readFile(longest), "a program with the longest name");
    for (const char* name : {"P.lumetra-tmp-12", ".lumetra-tmp-12-0123abcd"})
        EXPECT_TRUE(isTemporaryFileName(name)) << name;
    for (const char* name : {"P.lumetra-tmp-", "X.lumetra-tmp-12-0123abcd", ".lumetra-tmp-x",
                             ".lumetra-tmp-12-XYZ", "PROG"})
        EXPECT_FALSE(isTemporaryFileName(name)) << name;
}

} // namespace
} // namespace lumetra
