#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zelvora {

class Progress;

// What the caller does while its child runs.
class RunWatch {
public:
    virtual ~RunWatch() = default;
    // Called every short while as long as the child runs, whether it is writing or not, so that a
    // window can repaint. False ends the child and every process it started, at once.
    virtual bool Waiting() { return true; }
};

// Ends the child once the user has cancelled the work behind `progress`.
class ProgressWatch : public RunWatch {
public:
    explicit ProgressWatch(Progress& progress) : progress_(progress) {}
    bool Waiting() override;

private:
    Progress& progress_;
};

// Takes a child's standard output while the child is still writing it.
class OutputReader : public RunWatch {
public:
    // The next bytes, in order. False when no more are wanted: the pipe is closed, so that the
    // child ends at its next write instead of printing to nobody.
    virtual bool Read(QByteArrayView bytes) = 0;
};

// How a child ended.
struct ChildEnd {
    // Its exit code; for a child ended by a signal 128 + the signal's number, as a shell reports
    // it; -1 when no child could be started.
    int exitCode = -1;
    // The signal that ended the child, 0 when it ended by itself. Only this tells a MAME killed by
    // signal 9 from one that ended with code 137.
    int signal = 0;
    // The watch asked for the end; the child and what it started were killed.
    bool cancelled = false;
};

// How a streamed run ended.
struct StreamedRun {
    int exitCode = -1;      // as ChildEnd's
    QByteArray errors;      // what the child wrote to its standard error, the first 64 KiB of it
    bool stopped = false;   // the reader wanted no more output
    int signal = 0;         // as ChildEnd's
    bool cancelled = false; // as ChildEnd's
};

// Runs one shell command line as a child process and waits for it: the program's only way of
// starting MAME. Tests replace it to see the command lines without running anything.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Blocks until the child ends, calling `watch` meanwhile, and says how it ended.
    virtual ChildEnd ExecCmd(const QString& command, RunWatch& watch) = 0;
    // The same for a caller with no window to keep alive.
    ChildEnd ExecCmd(const QString& command) {
        RunWatch none;
        return ExecCmd(command, none);
    }
    // Runs the command as ExecCmd does, but hands its standard output to `output` as it comes,
    // on the caller's thread, and keeps its standard error. A listing of hundreds of megabytes
    // is read this way without ever being held whole. Runners that only watch ExecCmd's commands
    // inherit this one, which runs the command through /bin/sh.
    virtual StreamedRun ExecStreaming(const QString& command, OutputReader& output);
};

// Runs the command through `shell -c`, so that redirections and pipes in it work. The child
// inherits the environment, the open standard streams and the current directory, and leads a
// process group of its own, so that ending it ends whatever it started. The caller's thread runs
// no event loop of its own; the watch decides what runs meanwhile.
//
// The exit code is the command's (127 when the shell cannot find the command, as the shell
// reports it), 128 + the signal's number for a child killed by a signal, and -1 only when the
// shell itself could not be started. A command that runs one program by its path, as every
// command of MAME does, replaces the shell with that program: a signal that ends the program is
// then seen as a signal, not as the shell's code for it.
class ShellRunner : public ProcessRunner {
public:
    explicit ShellRunner(QString shell = QStringLiteral("/bin/sh"));
    using ProcessRunner::ExecCmd;
    ChildEnd ExecCmd(const QString& command, RunWatch& watch) override;
    StreamedRun ExecStreaming(const QString& command, OutputReader& output) override;

private:
    QString shell_;
};

// MAME's executable in its folder (ending with "/"): the file every command runs and start-up
// looks for, by this exact name.
inline QString MameExecutable(const QString& mamePath) {
    return mamePath + QStringLiteral("mame");
}

// What MAME wrote to its standard error, for the user: without the sound library's and the
// desktop session's complaints ("ALSA lib ...", "error: XDG_RUNTIME_DIR ..."), which come at every
// start on a machine without a sound device.
QString MameMessages(const QByteArray& errors);

// The shell's codes for a command it could not find (127) or run (126), and the runner's for no
// shell at all: MAME never ran, whatever the command was meant to do.
inline bool CouldNotStart(int exitCode) {
    return exitCode == 127 || exitCode == 126 || exitCode == -1;
}

} // namespace zelvora
