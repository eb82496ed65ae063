#include "CatalogueFixture.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>

using namespace zelvora;

namespace {

// A signal is told apart from an exit code of 128 + its number only for a program that the
// shell is not left waiting for. The child runs in the current directory, and what it redirected
// to a file is complete on return (the window tests hold the environment reaching it).
TEST(ShellRunnerTest, ReturnsTheChildsStatus) {
    test::TempProgramDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"/bin/sh", "(sleep 0.2; printf %s \"$(pwd -P)\") > out.txt", 0, 0},
        {"/bin/sh", "exit 255", 255, 0},
        {"/bin/sh", "kill -TERM $$", 128 + 15, 15},                        // killed by a signal
        {"/bin/sh", "/bin/sh -c 'kill -KILL $$' > /dev/null", 128 + 9, 9}, // a program killed by one
        {"/bin/sh", "/bin/sh -c 'exit 137'", 137, 0},                      // one ending with 128 + 9 itself
        {"/bin/sh", ":; /bin/sh -c 'kill -KILL $$'", 128 + 9, 0},          // a list: the shell waits, says 137
        {"/bin/sh", "-zelvora-no-such-command-here", 127, 0},              // found no command, not taken for an option
        {"/bin/sh", "/nonexistent/zelvora-mame -x", 127, 0},
        {"/nonexistent/sh", "exit 0", -1, 0}, // only when the shell cannot start
    };
    for (const auto& [shell, command, status, signal] : cases) {
        const ChildEnd end = ShellRunner(shell).ExecCmd(command);
        EXPECT_EQ(end.exitCode, status) << command;
        EXPECT_EQ(end.signal, signal) << command;
        EXPECT_FALSE(end.cancelled);
    }
    QDir::setCurrent(previous);
    EXPECT_EQ(QString::fromUtf8(test::ReadBytes(dir.file("out.txt"))), QFileInfo(dir.path()).canonicalFilePath());
}

struct Collected : OutputReader {
    bool Read(QByteArrayView bytes) override {
        output += bytes;
        return wanted < 0 || output.size() < wanted;
    }
    bool Waiting() override {
        ++waits;
        return true;
    }
    QByteArray output;
    qsizetype wanted = -1;
    int waits = 0;
};

// Also more output than a pipe holds, and a pause the caller's window gets to run its events in. A
// reader that wants no more ends a child that would print forever.
TEST(ShellRunnerTest, StreamedOutputComesWholeAndInOrderWithErrorsKeptApart) {
    Collected collected;
    const StreamedRun run =
        ShellRunner().ExecStreaming("printf 'first\\n'; sleep 0.3; seq 1 200000; echo oops >&2; exit 3", collected);
    QByteArray expected = "first\n";
    for (int i = 1; i <= 200000; ++i)
        expected += QByteArray::number(i) + '\n';
    EXPECT_EQ(collected.output, expected);
    EXPECT_EQ(run.errors, QByteArray("oops\n"));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_FALSE(run.stopped);
    EXPECT_GT(collected.waits, 0);
    EXPECT_EQ(ShellRunner("/nonexistent/sh").ExecStreaming("true", collected).exitCode, -1);
    Collected enough;
    enough.wanted = 1;
    const StreamedRun endless = ShellRunner().ExecStreaming("yes", enough);
    EXPECT_TRUE(endless.stopped);
    EXPECT_EQ(endless.exitCode, 128 + SIGPIPE);
}

// Whether a process has ended: gone, or a zombie that nobody has collected yet. Bounded: a
// process just killed may take a moment to be gone.
bool EndsSoon(const QByteArray& pid) {
    const auto ended = [&] {
        const QByteArray stat = test::ReadBytes("/proc/" + pid.trimmed() + "/stat");
        return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
    };
    const QDeadlineTimer deadline(10000);
    while (!ended() && !deadline.hasExpired())
        QThread::msleep(10);
    return !pid.trimmed().isEmpty() && ended();
}

struct GiveUp : Collected {
    bool Waiting() override { return ++waits < 3; }
};

// A watch that gives up, whether the child is silent or printing without pause, ends it and every
// process it started, at once.
TEST(ShellRunnerTest, AWatchThatGivesUpEndsTheChildAndAllItStarted) {
    test::TempProgramDir dir;
    const QString pid = dir.file("pid");
    const QString started = "sleep 60 & echo $! > " + ShellQuote(pid) + "; ";
    GiveUp silent;
    const ChildEnd end = ShellRunner().ExecCmd(started + "wait", silent);
    EXPECT_TRUE(end.cancelled);
    EXPECT_EQ(end.signal, SIGKILL);
    EXPECT_EQ(silent.waits, 3);
    EXPECT_TRUE(EndsSoon(test::ReadBytes(pid)));
    GiveUp printing;
    const StreamedRun run = ShellRunner().ExecStreaming(started + "yes | head -c 2000000000", printing);
    EXPECT_TRUE(run.cancelled);
    EXPECT_FALSE(run.stopped);
    EXPECT_LT(printing.output.size(), 2000000000);
    EXPECT_TRUE(EndsSoon(test::ReadBytes(pid)));
}

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
    EXPECT_EQ(ShellRunner().ExecCmd(command).exitCode, 0);
    EXPECT_EQ(test::ReadBytes(folder + "/x;touch pwned"), expected);
    EXPECT_FALSE(QFile::exists(dir.file("pwned")));
    EXPECT_FALSE(QFile::exists(folder + "/pwned"));
    // As a command's first word an assignment would succeed; quoted, it is a command not found.
    EXPECT_EQ(ShellRunner().ExecCmd(ShellQuote("PATH=/x")).exitCode, 127);
}

} // namespace
