#include "launcher/CommandLine.h"

#include "detail/OptionTable.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/FieldNames.h"
#include "store/Recordset.h"

#include <QProcess>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace zelvora {

namespace {

// A Null field holds no number, and so meets no condition below: it yields no switch.
std::optional<double> number(const Recordset& rs, const QString& field) {
    const QVariant value = rs.Value(field);
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double x = value.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return x;
}

bool equals(const Recordset& rs, const QString& field, double wanted) {
    const std::optional<double> x = number(rs, field);
    return x && *x == wanted;
}

// A NUL would end the command line where it stands, silently dropping what follows.
QString text(const Recordset& rs, const QString& field) {
    const QVariant value = rs.Value(field);
    return value.isNull() ? QString() : value.toString().remove(QChar(0));
}

// Today's MAME is given what the Options tab shows: a stored value beyond the control's range
// counts as the nearest one the control holds, as loading it into the control makes it. The classic
// MAME is given the stored value as it stands, but for the values only today's controls make (sound
// and joystick off at -1): those are the classic control's nearest, which says the same.
std::optional<double> shownNumber(const Recordset& rs, const OptionSpec& option, MameKind kind) {
    const std::optional<double> x = number(rs, option.field);
    if (!x)
        return x;
    if (kind == MameKind::Today)
        return std::clamp(*x, static_cast<double>(option.Min(kind)), static_cast<double>(option.Max(kind)));
    if (*x < option.min && *x >= option.Min(MameKind::Today))
        return static_cast<double>(option.min);
    return x;
}

// The value of a number rule, as MAME is given it.
double scaled(const SwitchRule& rule, double x) {
    return x / rule.divisor + rule.offset;
}

// The switch text a choice rule gives a stored number; nullptr for none.
const char* chosen(const SwitchRule& rule, double x) {
    const double at = x - rule.first;
    if (at >= 0 && at < static_cast<double>(rule.choices.size()) && at == std::floor(at))
        return rule.choices[static_cast<size_t>(at)];
    return x == 0 ? nullptr : rule.otherwise;
}

void appendSwitch(QString& result, const QString& text) {
    result += text + QLatin1Char(' ');
}

} // namespace

QString NumberText(double x) {
    // QString::number always writes the C locale's form, whatever the user's locale is.
    QString digits = QString::number(std::fabs(x), 'g', 15).toUpper();
    if (digits.startsWith(QLatin1String("0.")))
        digits.remove(0, 1);
    // -0 is zero and takes the blank of the values of zero and more.
    return (x < 0 ? QLatin1Char('-') : QLatin1Char(' ')) + digits;
}

QString BuildCommandLine(Recordset& rs, MameKind kind, const QString& romPath) {
    // Every catalogue holds the default record; were it missing, FindFirst would leave the game's
    // own record current and its options would be read.
    if (equals(rs, Field::Default, 1))
        rs.FindFirst(Field::Rom, DefaultRom);

    // Texts from the record become words of a /bin/sh command line: quoted, a folder with blanks
    // or quotes reaches MAME as one argument and can run nothing. Only the user's own additional
    // text is meant to be read by the shell as typed.
    QString result;
    for (const OptionSpec& option : OptionTable()) {
        const SwitchRule& rule = option.Switch(kind);
        const QString name = QLatin1String(rule.text);
        switch (rule.form) {
        case SwitchRule::Form::None:
            break;
        case SwitchRule::Form::Flag:
            // A check box counts as set only at 1; True (-1) or any other value leaves it off.
            if (equals(rs, option.field, 1))
                appendSwitch(result, name);
            break;
        case SwitchRule::Form::Number:
        case SwitchRule::Form::AlwaysNumber:
            // 0 leaves MAME at its own default, except where the rule always passes the value.
            if (const std::optional<double> x = shownNumber(rs, option, kind);
                x && (*x != 0 || rule.form == SwitchRule::Form::AlwaysNumber)) {
                appendSwitch(result, name + NumberText(scaled(rule, *x)));
                if (rule.text2)
                    appendSwitch(result, QLatin1String(rule.text2) + NumberText(scaled(rule, *x)));
            }
            break;
        case SwitchRule::Form::Choice:
            if (const std::optional<double> x = shownNumber(rs, option, kind)) {
                if (const char* choice = chosen(rule, *x))
                    appendSwitch(result, QLatin1String(choice));
            }
            break;
        case SwitchRule::Form::Folder:
            if (const QString folder = TrimBlanks(text(rs, option.field)); !folder.isEmpty())
                appendSwitch(result, name + QLatin1Char(' ') + ShellQuote(folder));
            break;
        case SwitchRule::Form::RomPath: {
            // One argument: MAME splits the list at ";" itself.
            QStringList folders;
            for (const QString& folder : {TrimBlanks(text(rs, option.field)), TrimBlanks(romPath)}) {
                if (!folder.isEmpty())
                    folders << folder;
            }
            if (!folders.isEmpty())
                appendSwitch(result, name + QLatin1Char(' ') + ShellQuote(folders.join(QLatin1Char(';'))));
            break;
        }
        case SwitchRule::Form::Recording:
            if (QString file = TrimBlanks(text(rs, option.field)); !file.isEmpty()) {
                if (!file.endsWith(name, Qt::CaseInsensitive))
                    file += name;
                if (equals(rs, Field::PlayOpt, 1))
                    appendSwitch(result, QStringLiteral("-playback ") + ShellQuote(file));
                else if (equals(rs, Field::PlayOpt, 2))
                    appendSwitch(result, QStringLiteral("-record ") + ShellQuote(file));
            }
            break;
        case SwitchRule::Form::UserText:
            if (const QString additional = text(rs, option.field); !additional.isEmpty())
                result = TrimBlanks(result + additional);
            break;
        }
    }
    return result;
}

QString GameExecutable(const QString& mamePath, const QString& altExec) {
    const QString name = altExec.trimmed();
    if (name.isEmpty())
        return ShellQuote(MameExecutable(mamePath)) + QLatin1Char(' ');
    return ShellQuote(name.contains(QLatin1Char('/')) ? name : mamePath + name);
}

QString BuildGameCommand(Recordset& rs, const QString& mamePath, MameKind kind, const QString& romPath) {
    const std::int64_t game = rs.Bookmark();
    const QString rom = text(rs, Field::Rom);
    const QString switches = BuildCommandLine(rs, kind, romPath);
    // Read from the record the options came from: a game on the default set also uses the
    // default record's executable.
    const QString executable = GameExecutable(mamePath, text(rs, Field::AltExec));
    rs.MoveToBookmark(game);
    return executable + QLatin1Char(' ') + ShellQuote(rom) + QLatin1Char(' ') + switches;
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

namespace {

// MAME's standard output goes where it always went.
class PassThrough : public OutputReader {
public:
    explicit PassThrough(RunWatch& watch) : watch_(watch) {}
    bool Read(QByteArrayView bytes) override {
        std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        return true;
    }
    bool Waiting() override { return watch_.Waiting(); }

private:
    RunWatch& watch_;
};

QString couldNotStart(int exitCode, const QString& command) {
    return QStringLiteral("MAME could not be started (exit code %1). The command was:\n%2").arg(exitCode).arg(command);
}

// A game that ran until something outside it ended it: not a refusal, whatever code a shell
// would give it.
QString endedBySignal(int signal, const QString& command) {
    const char* name = sigdescr_np(signal);
    return QStringLiteral("MAME was ended by signal %1 (%2). The command was:\n%3")
        .arg(signal)
        .arg(name ? QString::fromLocal8Bit(name) : QStringLiteral("unknown signal"))
        .arg(command);
}

} // namespace

GameRun RunGame(ProcessRunner& runner, const QString& command, MameKind kind, RunWatch& watch) {
    GameRun run;
    // A command the shell cannot read (a quote left open in the user's own switches) never
    // reaches MAME, and its code would be taken for MAME's.
    if (QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-n"), QStringLiteral("-c"), command}) != 0) {
        run.problem = QStringLiteral("The shell could not read the command; check the additional switches for an "
                                     "unclosed quote. The command was:\n%1")
                          .arg(command);
        return run;
    }
    if (kind == MameKind::Classic) {
        const ChildEnd end = runner.ExecCmd(command, watch);
        run.exitCode = end.exitCode;
        if (end.signal != 0)
            run.problem = endedBySignal(end.signal, command);
        else if (CouldNotStart(run.exitCode))
            run.problem = couldNotStart(run.exitCode, command);
        return run;
    }
    PassThrough output(watch);
    const StreamedRun streamed = runner.ExecStreaming(command, output);
    run.exitCode = streamed.exitCode;
    if (run.exitCode == 0)
        return run;
    const QString said = MameMessages(streamed.errors);
    if (streamed.signal != 0)
        run.problem = endedBySignal(streamed.signal, command);
    else if (CouldNotStart(run.exitCode))
        run.problem = couldNotStart(run.exitCode, command);
    else
        run.problem = QStringLiteral("MAME did not run the game (exit code %1). The command was:\n%2")
                          .arg(run.exitCode)
                          .arg(command);
    if (!said.isEmpty())
        run.problem += QStringLiteral("\nMAME said:\n") + said;
    return run;
}

GameRun RunGame(ProcessRunner& runner, const QString& command, MameKind kind) {
    RunWatch none;
    return RunGame(runner, command, kind, none);
}

} // namespace zelvora
