#include "TestDirs.h"

#include "store/SupportFiles.h"

#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

class SupportFilesTest : public ::testing::Test {
protected:
    // The Support Files folder first, then an ini folder of MAME's.
    SupportFilesTest() { support.SetFolders({own.path(), {}, ini.path()}); }

    void copy(const QString& name, const TempProgramDir& to) {
        ASSERT_TRUE(QFile::copy(FixturePath("support/" + name), to.file(name)));
    }

    TempProgramDir own, ini;
    SupportFiles support;
};

} // namespace

// Categories come from [Category] alone, whatever else the file holds; players keep their text.
TEST_F(SupportFilesTest, TheFilesAreReadWhereverTheyAreFound) {
    EXPECT_FALSE(support.Refresh()) << "no file is no change";
    copy("catver.ini", ini);
    copy("nplayers.ini", own);
    EXPECT_TRUE(support.Refresh());
    EXPECT_EQ(support.TakeProblem(), "");
    ASSERT_TRUE(support.HasCategories() && support.HasPlayers());

    const struct {
        const char* rom;
        const char* category;
        bool mature;
        const char* players;
        int count;
    } sets[] = {
        {"1942", "Shooter / Flying Vertical", false, "2P alt", 2},
        {"PacMan", "Maze / Collect", false, "", 0},
        {"gal10ren", "Tabletop / Mahjong", true, "", 0},
        {"circusc", "Platform / Run Jump", false, "", 0}, // the last line, before a blank and [VerAdded]
        {"xevious", "", false, "", 0},                    // a comment
        {"galaxian", "", false, "", 0},                   // only in [VerAdded]
        {"tmnt", "", false, "4P alt / 2P sim", 4},
        {"99lstwar", "", false, "???", 0},
        {"neogeo", "", false, "BIOS", 0},
    };
    for (const auto& s : sets) {
        SCOPED_TRACE(s.rom);
        EXPECT_EQ(support.Category(s.rom), s.category);
        EXPECT_EQ(support.Mature(s.rom), s.mature);
        EXPECT_EQ(support.Players(s.rom), s.players);
        EXPECT_EQ(support.PlayerCount(s.rom), s.count);
    }
}

// A file that is not what its name says gives nothing and is reported once, by name; the files
// are read again only when another is found or the one read has changed, even to the same size.
TEST_F(SupportFilesTest, MalformedFilesAreReportedAndChangesFollowed) {
    const QString catver = own.file("catver.ini");
    const std::pair<QByteArray, const char*> malformed[] = {
        {"[VerAdded]\n1942=.036\n", "has no [Category] section"},
        {QByteArray("[Category]\n1942=Shooter\0\x01\x02", 26), "binary"},
        {"[Category]\n1942=" + QByteArray(70000, 'x') + "\n", "longer than 64 KiB"},
        {{}, "larger than 64 MiB"},
    };
    for (const auto& [bytes, said] : malformed) {
        SCOPED_TRACE(said);
        WriteBytes(catver, bytes);
        if (bytes.isEmpty()) {
            ASSERT_TRUE(QFile(catver).resize(SupportFiles::MaxFileSize + 1)); // sparse: no disk used
        }
        EXPECT_TRUE(support.Refresh());
        EXPECT_FALSE(support.HasCategories());
        const QString problem = support.TakeProblem();
        EXPECT_TRUE(problem.contains(catver) && problem.contains(said)) << problem.toStdString();
        EXPECT_FALSE(support.Refresh());
        EXPECT_EQ(support.TakeProblem(), "");
    }

    // Only the first folder's file counts; removing it brings the next one's in.
    copy("catver.ini", ini);
    WriteBytes(catver, "[Category]\n1942=Shooter / Flying Horizontal\n");
    EXPECT_TRUE(support.Refresh());
    EXPECT_EQ(support.Category("1942"), "Shooter / Flying Horizontal");
    WriteBytes(catver, "[Category]\n1942=Shooter / Flying Diagonal..\n");
    QFile file(catver);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(file.fileTime(QFile::FileModificationTime).addSecs(-60), QFile::FileModificationTime));
    file.close();
    EXPECT_TRUE(support.Refresh()) << "same size, another time";
    EXPECT_EQ(support.Category("1942"), "Shooter / Flying Diagonal..");
    ASSERT_TRUE(QFile::remove(catver));
    EXPECT_TRUE(support.Refresh());
    EXPECT_EQ(support.Category("1942"), "Shooter / Flying Vertical");
    ASSERT_TRUE(QFile::remove(ini.file("catver.ini")));
    EXPECT_TRUE(support.Refresh());
    EXPECT_FALSE(support.HasCategories());
    EXPECT_EQ(support.TakeProblem(), "") << "a missing file is no problem";
}
