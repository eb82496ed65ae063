#include "TestDirs.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <utility>

using namespace zelvora;

using test::ReadBytes;

TEST(ShellRunnerTest, ReturnsTheChildsStatus) {
    const std::pair<const char*, int> cases[] = {
        {"exit 3", 3},
        {"true", 0},
        {"exit 255", 255},
        {"kill -TERM $$", 128 + 15},            // killed by a signal
        {"zelvora-no-such-command-here", 127},  // the shell ran but found no command
        {"-zelvora-no-such-command-here", 127}, // not taken for the shell's own options
    };
    ShellRunner runner;
    for (const auto& [command, status] : cases)
        EXPECT_EQ(runner.ExecCmd(QString::fromLatin1(command)), status) << command;
}

TEST(ShellRunnerTest, ReturnsMinusOneOnlyWhenTheShellCannotStart) {
    EXPECT_EQ(ShellRunner(QStringLiteral("/nonexistent/sh")).ExecCmd(QStringLiteral("exit 0")), -1);
}

TEST(ShellRunnerTest, RedirectedOutputIsCompleteOnReturnAndTheChildInheritsEnvironmentAndDirectory) {
    test::TempProgramDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    qputenv("ZELVORA_PROBE", "inherited");

    const int status =
        ShellRunner().ExecCmd(QStringLiteral("(sleep 0.2; printf '%s %s' \"$ZELVORA_PROBE\" \"$(pwd -P)\") > out.txt"));

    QDir::setCurrent(previous);
    qunsetenv("ZELVORA_PROBE");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(QString::fromUtf8(ReadBytes(dir.file("out.txt"))),
              "inherited " + QFileInfo(dir.path()).canonicalFilePath());
}

TEST(ShellQuoteTest, SafeWordsStayBareOthersAreSingleQuoted) {
    const std::pair<const char*, const char*> cases[] = {
        {"/roms2/", "/roms2/"},
        {"-sr", "-sr"},
        {"pacman.inp", "pacman.inp"},
        {"", "''"},
        {"a b", "'a b'"},
        {"My MAME's \"best\"", "'My MAME'\\''s \"best\"'"},
        {"x;touch pwned", "'x;touch pwned'"},
        {"PATH=/x", "'PATH=/x'"}, // would be an assignment as a command's first word
        {"-cfg=a", "-cfg=a"},
    };
    for (const auto& [word, quoted] : cases)
        EXPECT_EQ(ShellQuote(QString::fromUtf8(word)), QString::fromUtf8(quoted)) << word;
}

TEST(ShellQuoteTest, WordsReachTheProgramIntactAndRunNothing) {
    test::TempProgramDir dir;
    const QString folder = dir.file("My MAME's \"best\"");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList words = {"x;touch pwned",
                               "My MAME's \"best\"",
                               "",
                               "$(touch pwned)",
                               "`touch pwned`",
                               "*",
                               "~",
                               "a\nb",
                               "it''s",
                               "\\",
                               "-n",
                               "PATH=/x",
                               "Zoë & <Kid>|"};
    QString command = QStringLiteral("cd ") + ShellQuote(dir.path()) + QStringLiteral(" && printf '%s\\0'");
    for (const QString& word : words)
        command += QLatin1Char(' ') + ShellQuote(word);
    command += QStringLiteral(" > ") + ShellQuote(folder + QStringLiteral("/x;touch pwned"));

    EXPECT_EQ(ShellRunner().ExecCmd(command), 0);
    QByteArray expected;
    for (const QString& word : words)
        expected += word.toUtf8() + '\0';
    EXPECT_EQ(ReadBytes(folder + "/x;touch pwned"), expected);
    EXPECT_FALSE(QFile::exists(dir.file("pwned")));
    EXPECT_FALSE(QFile::exists(folder + "/pwned"));
}
