#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zelvora {

// Takes a child's standard output while the child is still writing it.
class OutputReader {
public:
    virtual ~OutputReader() = default;
    // The next bytes, in order. False when no more are wanted: the pipe is closed, so that the
    // child ends at its next write instead of printing to nobody.
    virtual bool Read(QByteArrayView bytes) = 0;
    // Called each time the child has been silent for a while, so that a window can repaint.
    virtual void Waiting() {}
};

// How a streamed run ended.
struct StreamedRun {
    int exitCode = -1;    // as ExecCmd returns it
    QByteArray errors;    // what the child wrote to its standard error, the first 64 KiB of it
    bool stopped = false; // the reader wanted no more output
};

// Runs one shell command line as a child process and waits for it: the program's only way of
// starting MAME. Tests replace it to see the command lines without running anything.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Blocks until the child ends and returns its exit status; -1 when no child could be started.
    virtual int ExecCmd(const QString& command) = 0;
    // Runs the command as ExecCmd does, but hands its standard output to `output` as it comes,
    // on the caller's thread, and keeps its standard error. A listing of hundreds of megabytes
    // is read this way without ever being held whole. Runners that only watch ExecCmd's commands
    // inherit this one, which runs the command through /bin/sh.
    virtual StreamedRun ExecStreaming(const QString& command, OutputReader& output);
};

// Runs the command through `shell -c`, so that redirections and pipes in it work. The child
// inherits the environment, the open standard streams and the current directory. The caller's
// thread waits without running any event loop.
//
// The status is the command's exit code (127 when the shell cannot find the command, as the
// shell reports it), 128 + the signal's number for a child killed by a signal, and -1 only when
// the shell itself could not be started.
class ShellRunner : public ProcessRunner {
public:
    explicit ShellRunner(QString shell = QStringLiteral("/bin/sh"));
    int ExecCmd(const QString& command) override;
    StreamedRun ExecStreaming(const QString& command, OutputReader& output) override;

private:
    QString shell_;
};

// MAME's executable in its folder (ending with "/"): the file every command runs and start-up
// looks for, by this exact name.
inline QString MameExecutable(const QString& mamePath) {
    return mamePath + QStringLiteral("mame");
}

// The shell's codes for a command it could not find (127) or run (126), and the runner's for no
// shell at all: MAME never ran, whatever the command was meant to do.
inline bool CouldNotStart(int exitCode) {
    return exitCode == 127 || exitCode == 126 || exitCode == -1;
}

} // namespace zelvora
