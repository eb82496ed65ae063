#include "launcher/ProcessRunner.h"

#include "platform/Progress.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace zelvora {

namespace {

constexpr qsizetype ErrorsKept = 64 * 1024;

// Frees the spawn attributes however the run leaves.
struct SpawnAttributes {
    posix_spawnattr_t attr;
    bool ready = false;
    SpawnAttributes() { ready = posix_spawnattr_init(&attr) == 0; }
    ~SpawnAttributes() {
        if (ready)
            posix_spawnattr_destroy(&attr);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

struct FileActions {
    posix_spawn_file_actions_t actions;
    bool ready = false;
    FileActions() { ready = posix_spawn_file_actions_init(&actions) == 0; }
    ~FileActions() {
        if (ready)
            posix_spawn_file_actions_destroy(&actions);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
};

// A descriptor (a pipe's end, a process's), closed once.
struct Fd {
    int fd = -1;
    Fd() = default;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { close(); }
    void close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Both ends close with this program's other children kept from them; the child's own copy is
// made by the spawn's file actions.
bool MakePipe(Fd& read, Fd& write) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    read.fd = ends[0];
    write.fd = ends[1];
    return true;
}

// Whether `command` is one program run by its path, with its words and redirections and nothing
// else: no list, pipeline, background job or subshell. Only then may the shell be replaced by the
// program ("exec"), which leaves the command's meaning as it was. Anything this cannot tell for
// sure keeps the shell.
bool RunsOneProgram(const QString& command) {
    enum class Quote { None, Single, Double };
    enum class Word { Before, In, After }; // where the scan stands to the first word
    Quote quote = Quote::None;
    Word first = Word::Before;
    bool path = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (quote == Quote::None && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (first == Word::In)
                first = Word::After;
            continue;
        }
        if (first == Word::Before)
            first = Word::In;
        const bool inFirst = first == Word::In;
        // An expansion could make the first word anything, a builtin included, and "NAME=value"
        // is an assignment, not a program.
        const bool unsure = inFirst && (c == QLatin1Char('$') || c == QLatin1Char('`') || c == QLatin1Char('='));
        if (quote == Quote::Single) {
            if (c == QLatin1Char('\''))
                quote = Quote::None;
        } else if (quote == Quote::Double) {
            if (unsure)
                return false;
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == QLatin1Char('"'))
                quote = Quote::None;
        } else if (unsure || QStringView(u";&|()\n").contains(c)) {
            return false;
        } else if (c == QLatin1Char('\'')) {
            quote = Quote::Single;
        } else if (c == QLatin1Char('"')) {
            quote = Quote::Double;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        }
        path = path || (inFirst && c == QLatin1Char('/'));
    }
    return quote == Quote::None && path;
}

// The child `shell -c -- command`, leading a process group of its own, or -1.
pid_t Spawn(const QString& shellPath, const QString& command, const posix_spawn_file_actions_t* actions) {
    const QByteArray shell = QFile::encodeName(shellPath);
    // The shell would otherwise stay between this program and MAME, and report a MAME killed by a
    // signal as having ended with 128 + the signal's number.
    const QByteArray text = (RunsOneProgram(command) ? QStringLiteral("exec ") + command : command).toLocal8Bit();
    char dashC[] = "-c";
    // Without "--" a command line that begins with "-" would be read as the shell's own options.
    char endOfOptions[] = "--";
    char* argv[] = {const_cast<char*>(shell.constData()), dashC, endOfOptions, const_cast<char*>(text.constData()),
                    nullptr};

    // A blocked signal or an ignored SIGPIPE of this program would otherwise pass on to MAME and
    // to the commands of a pipeline, which expect the usual defaults.
    SpawnAttributes spawn;
    if (!spawn.ready)
        return -1;
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&spawn.attr, &none);
    posix_spawnattr_setsigdefault(&spawn.attr, &defaults);
    // A group of its own: cancelling ends the shell, MAME and anything MAME started, together.
    posix_spawnattr_setpgroup(&spawn.attr, 0);
    posix_spawnattr_setflags(&spawn.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = 0;
    if (posix_spawn(&pid, shell.constData(), actions, &spawn.attr, argv, environ) != 0)
        return -1;
    return pid;
}

// Asks the watch at each interval of the run.
class Watching {
public:
    explicit Watching(RunWatch& watch) : watch_(watch), next_(Clock::now() + Interval) {}

    // Milliseconds until the watch is next asked.
    int Timeout() const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next_ - Clock::now()).count();
        return static_cast<int>(std::clamp<long long>(left, 0, Interval.count()));
    }
    // False once the watch wants the child ended; asked at most once per interval.
    bool GoOn() {
        if (cancelled_)
            return false;
        if (Clock::now() < next_)
            return true;
        cancelled_ = !watch_.Waiting();
        // Counted from the watch's return: a window may have spent a while in a dialog.
        next_ = Clock::now() + Interval;
        return !cancelled_;
    }
    bool Cancelled() const { return cancelled_; }

private:
    using Clock = std::chrono::steady_clock;
    // How long a child may keep the caller from its events.
    static constexpr std::chrono::milliseconds Interval{50};

    RunWatch& watch_;
    Clock::time_point next_;
    bool cancelled_ = false;
};

void EndGroup(pid_t pid) {
    if (kill(-pid, SIGKILL) != 0)
        kill(pid, SIGKILL);
}

ChildEnd Ended(int status) {
    ChildEnd end;
    if (WIFEXITED(status)) {
        end.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        end.signal = WTERMSIG(status);
        end.exitCode = 128 + end.signal;
    }
    return end;
}

// Waits for the child to end, the watch asked meanwhile; a watch that gives up ends the child's
// whole group.
ChildEnd Await(pid_t pid, Watching& watching) {
    // Becomes readable when the child ends, so that the wait needs no polling.
    Fd ended;
    ended.fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (watching.Cancelled())
        EndGroup(pid);
    for (;;) {
        int status = 0;
        const pid_t waited = waitpid(pid, &status, watching.Cancelled() ? 0 : WNOHANG);
        if (waited == pid) {
            ChildEnd end = Ended(status);
            end.cancelled = watching.Cancelled();
            return end;
        }
        if (waited < 0 && errno != EINTR)
            return {};
        if (waited < 0)
            continue;
        if (!watching.GoOn()) {
            EndGroup(pid);
            continue;
        }
        if (ended.fd >= 0) {
            pollfd fd{ended.fd, POLLIN, 0};
            poll(&fd, 1, watching.Timeout());
        } else {
            // Without a process descriptor (an old kernel), a short sleep between looks.
            poll(nullptr, 0, std::min(watching.Timeout(), 5));
        }
    }
}

StreamedRun RunStreaming(const QString& shell, const QString& command, OutputReader& output) {
    StreamedRun run;
    Fd out, outChild, err, errChild;
    FileActions actions;
    if (!actions.ready || !MakePipe(out, outChild) || !MakePipe(err, errChild) ||
        posix_spawn_file_actions_adddup2(&actions.actions, outChild.fd, STDOUT_FILENO) != 0 ||
        posix_spawn_file_actions_adddup2(&actions.actions, errChild.fd, STDERR_FILENO) != 0)
        return run;
    const pid_t pid = Spawn(shell, command, &actions.actions);
    // The child holds its own copies now; the pipes end when the child closes them.
    outChild.close();
    errChild.close();
    if (pid < 0)
        return run;

    Watching watching(output);
    std::array<char, 64 * 1024> buffer;
    while ((out.fd >= 0 || err.fd >= 0) && watching.GoOn()) {
        std::array<pollfd, 2> fds = {pollfd{out.fd, POLLIN, 0}, pollfd{err.fd, POLLIN, 0}};
        const int ready = poll(fds.data(), fds.size(), watching.Timeout());
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        if (fds[0].revents != 0) {
            const ssize_t n = read(out.fd, buffer.data(), buffer.size());
            if (n == 0 || (n < 0 && errno != EINTR)) {
                out.close();
            } else if (n > 0 && !output.Read(QByteArrayView(buffer.data(), n))) {
                run.stopped = true;
                out.close();
            }
        }
        if (fds[1].revents != 0) {
            const ssize_t n = read(err.fd, buffer.data(), buffer.size());
            if (n == 0 || (n < 0 && errno != EINTR))
                err.close();
            else if (n > 0)
                run.errors.append(buffer.data(), std::min<qsizetype>(n, ErrorsKept - run.errors.size()));
        }
    }
    // A poll that failed leaves the pipes to close with this function; the child then ends at
    // its next write.
    out.close();
    err.close();
    const ChildEnd end = Await(pid, watching);
    run.exitCode = end.exitCode;
    run.signal = end.signal;
    run.cancelled = end.cancelled;
    return run;
}

} // namespace

bool ProgressWatch::Waiting() {
    return !progress_.Cancelled();
}

StreamedRun ProcessRunner::ExecStreaming(const QString& command, OutputReader& output) {
    return RunStreaming(QStringLiteral("/bin/sh"), command, output);
}

ShellRunner::ShellRunner(QString shell) : shell_(std::move(shell)) {}

ChildEnd ShellRunner::ExecCmd(const QString& command, RunWatch& watch) {
    const pid_t pid = Spawn(shell_, command, nullptr);
    if (pid < 0)
        return {};
    Watching watching(watch);
    return Await(pid, watching);
}

StreamedRun ShellRunner::ExecStreaming(const QString& command, OutputReader& output) {
    return RunStreaming(shell_, command, output);
}

QString MameMessages(const QByteArray& errors) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(errors).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        // The sound library's and the desktop session's complaints come at every start on a machine
        // without a sound device or a desktop: they never say why a game did not run.
        if (!text.isEmpty() && !text.startsWith(QLatin1String("ALSA lib ")) &&
            !text.startsWith(QLatin1String("error: XDG_RUNTIME_DIR")))
            lines << text;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace zelvora
