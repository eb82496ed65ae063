#include "TestDirs.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace zelvora;

// Each word reaches the program as it stands and runs nothing; the command lines' own tests hold
// the usual words staying bare.
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
    // As a command's first word an assignment would succeed; quoted, it is a command not found.
    EXPECT_EQ(ShellRunner().ExecCmd(ShellQuote("PATH=/x")), 127);
}
