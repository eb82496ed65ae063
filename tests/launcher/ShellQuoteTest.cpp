#include "TestDirs.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace zelvora;

// Command lines are compared and shown as text: the usual words must stay as they were.
TEST(ShellQuoteTest, SafeWordsStayBareOthersAreSingleQuoted) {
    const std::pair<const char*, const char*> cases[] = {
        {"/roms2/", "/roms2/"},   {"-cfg=a", "-cfg=a"}, {"", "''"}, {"My MAME's \"best\"", "'My MAME'\\''s \"best\"'"},
        {"PATH=/x", "'PATH=/x'"}, // would be an assignment as a command's first word
    };
    for (const auto& [word, quoted] : cases)
        EXPECT_EQ(ShellQuote(word), QString(quoted)) << word;
}

TEST(ShellQuoteTest, WordsReachTheProgramIntactAndRunNothing) {
    test::TempProgramDir dir;
    const QString folder = dir.file("My MAME's \"best\"");
    ASSERT_TRUE(QDir().mkpath(folder));
    QStringList words = {
        "x;touch pwned", "My MAME's \"best\"", "", "$(touch pwned)", "`touch pwned`", "*", "~", "it''s", "\\", "-n",
        "PATH=/x",       "Zoë & <Kid>|"};
    words << "a\nb";
    QString command = "cd " + ShellQuote(dir.path()) + " && printf '%s\\0'";
    QByteArray expected;
    for (const QString& word : words) {
        command += ' ' + ShellQuote(word);
        expected += word.toUtf8() + '\0';
    }
    command += " > " + ShellQuote(folder + "/x;touch pwned");

    EXPECT_EQ(ShellRunner().ExecCmd(command), 0);
    EXPECT_EQ(test::ReadBytes(folder + "/x;touch pwned"), expected);
    EXPECT_FALSE(QFile::exists(dir.file("pwned")));
    EXPECT_FALSE(QFile::exists(folder + "/pwned"));
}
