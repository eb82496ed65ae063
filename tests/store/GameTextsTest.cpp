#include "TestDirs.h"

#include "store/GameTexts.h"

#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

class GameTextsTest : public ::testing::Test {
protected:
    // The Support Files folder first, then a history folder of MAME's.
    GameTextsTest() { texts.SetFolders({own.path(), {}, mame.path()}); }

    void copy(const QString& name, const TempProgramDir& to) {
        ASSERT_TRUE(QFile::copy(FixturePath("texts/" + name), to.file(name)));
    }

    TempProgramDir own, mame;
    GameTextFiles texts;
};

// Entities and character references replaced, the element's blank lines and indentation trimmed.
constexpr const char* PacmanHistory =
    "Pac-Man (c) 1980 Namco.\n\nEat the dots & dodge the ghosts: Blinky, Pinky, Inky and Clyde <the four>.\n"
    "Caf\u00e9 \u2605 star.";

} // namespace

// Each kind of file, a clone falling back to its parent for the texts it lacks, set names without
// case; history.xml wins over history.dat in the same folder, and software entries are no games.
TEST_F(GameTextsTest, TheFilesAreIndexedAndClonesFallBackToTheirParent) {
    EXPECT_FALSE(texts.Refresh()) << "no file is no change";
    copy("history.dat", mame);
    copy("mameinfo.dat", own);
    copy("command.dat", mame);
    EXPECT_TRUE(texts.Refresh());
    EXPECT_EQ(texts.TakeProblem(), "");
    EXPECT_EQ(texts.Texts("galagao", "galaga").history, "Galaga (c) 1981 Namco.\n\n- TRIVIA -\n\nThe dual fighter.");
    EXPECT_EQ(texts.Texts("mspacman", {}).history, "Ms. Pac-Man, texte \u00e9crit en Latin-1.");

    copy("history.xml", mame);
    EXPECT_TRUE(texts.Refresh());
    const struct {
        const char *rom, *parent, *history, *info, *commands;
    } games[] = {
        {"pacman", "", PacmanHistory, "Pac-Man's driver notes.\n\n- TODO -\n* The sound is not perfect.",
         "[- COMMON -]\nMove: joystick in four ways."},
        {"PUCKMAN", "pacman", PacmanHistory, "Puck Man's own notes.", "[- COMMON -]\nMove: joystick in four ways."},
        {"pacmanf", "pacman", PacmanHistory, "Pac-Man's driver notes.\n\n- TODO -\n* The sound is not perfect.",
         "[- COMMON -]\nMove: joystick in four ways."},
        {"1942", "", "1942 (c) 1984 Capcom. <Loop> with A & B.", "", ""},
        {"sf2ua", "sf2", "", "", "Hadouken: down, down-forward, forward + punch"},
        {"pacman.cpp", "", "", "", ""}, // a driver's notes, not a game's
        {"galaga", "", "", "", ""},     // only in the history.dat passed over
    };
    for (const auto& g : games) {
        SCOPED_TRACE(g.rom);
        const GameTexts found = texts.Texts(g.rom, g.parent);
        EXPECT_EQ(found.history, g.history);
        EXPECT_EQ(found.info, g.info);
        EXPECT_EQ(found.commands, g.commands);
    }
}

// A file that cannot be indexed gives nothing, not even what came before its fault, and is reported
// once, by name (and line, for XML); a text too long is cut before a character, not inside one.
TEST_F(GameTextsTest, HostileFilesAreRefusedAndChangesFollowed) {
    const QString history = own.file("history.xml");
    const std::pair<QByteArray, const char*> refused[] = {
        {"<history>\n<entry><systems><system name=\"a\"/></systems><text>A</text></entry>\n"
         "<entry><systems><system name=\"b\"/></systems><text>B</entry>\n</history>\n",
         "line 3: </entry> does not close <text>"},
        {"<history>\n<entry><systems><system name=\"a\"/></systems><text>A</text></entry>\n",
         "line 3: the file ends inside <history>"},
        {"<history>\n<entry><systems><system name=a/>", "line 2: an attribute of <system> is not quoted"},
        {QByteArray("<history>\0</history>", 20), "binary content"},
        {{}, "larger than 256 MiB"},
    };
    for (const auto& [bytes, said] : refused) {
        SCOPED_TRACE(said);
        WriteBytes(history, bytes);
        if (bytes.isEmpty()) {
            ASSERT_TRUE(QFile(history).resize(TextIndex::MaxFileSize + 1)); // sparse: no disk used
        }
        EXPECT_TRUE(texts.Refresh());
        EXPECT_EQ(texts.Texts("a", {}).history, "");
        const QString problem = texts.TakeProblem();
        EXPECT_TRUE(problem.contains(history) && problem.contains(said)) << problem.toStdString();
        EXPECT_FALSE(texts.Refresh());
        EXPECT_EQ(texts.TakeProblem(), "");
    }
    ASSERT_TRUE(QFile::remove(history));

    // Two-byte characters from an odd byte on: the cut falls inside one unless it is moved.
    const QString info = mame.file("mameinfo.dat");
    WriteBytes(info, "$info=long\n$mame\nx" + QString(TextIndex::MaxTextSize, u'\u00e9').toUtf8() + "\n$end\n");
    EXPECT_TRUE(texts.Refresh());
    const QString cut = texts.Texts("long", {}).info;
    EXPECT_EQ(cut.size(), TextIndex::MaxTextSize / 2) << "read as UTF-8, not Latin-1";
    EXPECT_TRUE(cut.endsWith(u'\u00e9'));

    // A change of the same size is seen by its time; until it is indexed, no text of the old index
    // is read out of the new file.
    WriteBytes(info, "$info=game\n$mame\nOld notes.\n$end\n");
    EXPECT_TRUE(texts.Refresh());
    WriteBytes(info, "$info=game\n$mame\nNew notes.\n$end\n");
    QFile file(info);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(file.fileTime(QFile::FileModificationTime).addSecs(-60), QFile::FileModificationTime));
    file.close();
    EXPECT_EQ(texts.Texts("game", {}).info, "");
    EXPECT_TRUE(texts.Refresh()) << "same size, another time";
    EXPECT_EQ(texts.Texts("game", {}).info, "New notes.");
    copy("mameinfo.dat", own);
    EXPECT_TRUE(texts.Refresh());
    EXPECT_EQ(texts.Texts("puckman", {}).info, "Puck Man's own notes.") << "the first folder's file";
    ASSERT_TRUE(QFile::remove(own.file("mameinfo.dat")) && QFile::remove(info));
    EXPECT_TRUE(texts.Refresh());
    EXPECT_EQ(texts.Texts("puckman", {}).info, "");
    EXPECT_EQ(texts.TakeProblem(), "") << "a missing file is no problem";
}
