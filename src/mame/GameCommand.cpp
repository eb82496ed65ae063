#include "mame/GameCommand.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "mame/Mame.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"

#include <QProcess>
#include <QStringList>

#include <cmath>
#include <cstring>
#include <optional>

namespace zelvora {

namespace {

// A Null field holds no number, and so meets no condition below: it yields no switch.
std::optional<double> number(const OptionValues& values, const QString& field) {
    const QVariant value = values(field);
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double x = value.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return x;
}

bool equals(const OptionValues& values, const QString& field, double wanted) {
    const std::optional<double> x = number(values, field);
    return x && *x == wanted;
}

// A NUL would end the command line where it stands, silently dropping what follows.
QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString().remove(QChar(0));
}

QString text(const OptionValues& values, const QString& field) {
    return text(values(field));
}

std::optional<double> givenNumber(const OptionValues& values, const OptionSpec& option, const Mame& mame) {
    const std::optional<double> x = number(values, option.field);
    if (!x)
        return x;
    return mame.GivenNumber(option, *x);
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

QString GameSwitches(const OptionValues& values, const Mame& mame, const QString& romPath) {
    // Texts from the record become words of a /bin/sh command line: quoted, a folder with blanks
    // or quotes reaches MAME as one argument and can run nothing. Only the user's own additional
    // text is meant to be read by the shell as typed.
    QString result;
    for (const OptionSpec& option : OptionTable()) {
        const SwitchRule& rule = mame.Switch(option);
        const QString name = QLatin1String(rule.text);
        switch (rule.form) {
        case SwitchRule::Form::None:
            break;
        case SwitchRule::Form::Flag:
            // A check box counts as set only at 1; True (-1) or any other value leaves it off.
            if (equals(values, option.field, 1))
                appendSwitch(result, name);
            break;
        case SwitchRule::Form::Number:
        case SwitchRule::Form::AlwaysNumber:
            // 0 leaves MAME at its own default, except where the rule always passes the value.
            if (const std::optional<double> x = givenNumber(values, option, mame);
                x && (*x != 0 || rule.form == SwitchRule::Form::AlwaysNumber)) {
                appendSwitch(result, name + NumberText(scaled(rule, *x)));
                if (rule.text2)
                    appendSwitch(result, QLatin1String(rule.text2) + NumberText(scaled(rule, *x)));
            }
            break;
        case SwitchRule::Form::Choice:
            if (const std::optional<double> x = givenNumber(values, option, mame)) {
                if (const char* choice = chosen(rule, *x))
                    appendSwitch(result, QLatin1String(choice));
            }
            break;
        case SwitchRule::Form::Folder:
            if (const QString folder = TrimBlanks(text(values, option.field)); !folder.isEmpty())
                appendSwitch(result, name + QLatin1Char(' ') + ShellQuote(folder));
            break;
        case SwitchRule::Form::RomPath: {
            // One argument: MAME splits the list at ";" itself.
            QStringList folders;
            for (const QString& folder : {TrimBlanks(text(values, option.field)), TrimBlanks(romPath)}) {
                if (!folder.isEmpty())
                    folders << folder;
            }
            if (!folders.isEmpty())
                appendSwitch(result, name + QLatin1Char(' ') + ShellQuote(folders.join(QLatin1Char(';'))));
            break;
        }
        case SwitchRule::Form::Recording:
            if (QString file = TrimBlanks(text(values, option.field)); !file.isEmpty()) {
                if (!file.endsWith(name, Qt::CaseInsensitive))
                    file += name;
                if (equals(values, Field::PlayOpt, 1))
                    appendSwitch(result, QStringLiteral("-playback ") + ShellQuote(file));
                else if (equals(values, Field::PlayOpt, 2))
                    appendSwitch(result, QStringLiteral("-record ") + ShellQuote(file));
            }
            break;
        case SwitchRule::Form::UserText:
            if (const QString additional = text(values, option.field); !additional.isEmpty())
                result = TrimBlanks(result + additional);
            break;
        }
    }
    return result;
}

QString BuildCommandLine(const GameOptions& options, const Mame& mame, const QString& romPath) {
    return GameSwitches([&options](const QString& field) { return options.Value(field); }, mame, romPath);
}

QString GameExecutable(const QString& mamePath, const QString& altExec) {
    const QString name = altExec.trimmed();
    if (name.isEmpty())
        return ShellQuote(MameExecutable(mamePath)) + QLatin1Char(' ');
    return ShellQuote(name.contains(QLatin1Char('/')) ? name : mamePath + name);
}

QString BuildGameCommand(const QString& rom, const GameOptions& game, const std::optional<GameOptions>& defaults,
                         const QString& mamePath, const Mame& mame, const QString& romPath) {
    const GameOptions& options = StartingOptions(game, defaults);
    const QString executable = GameExecutable(mamePath, text(options.Value(Field::AltExec)));
    return executable + QLatin1Char(' ') + ShellQuote(QString(rom).remove(QChar(0))) + QLatin1Char(' ') +
           BuildCommandLine(options, mame, romPath);
}

QString CouldNotStartMame(int exitCode, const QString& command) {
    return QStringLiteral("MAME could not be started (exit code %1). The command was:\n%2").arg(exitCode).arg(command);
}

QString EndedBySignal(int signal, const QString& command) {
    const char* name = sigdescr_np(signal);
    return QStringLiteral("MAME was ended by signal %1 (%2). The command was:\n%3")
        .arg(signal)
        .arg(name ? QString::fromLocal8Bit(name) : QStringLiteral("unknown signal"))
        .arg(command);
}

GameRun RunGame(ProcessRunner& runner, const QString& command, const Mame& mame, RunWatch& watch) {
    // A command the shell cannot read (a quote left open in the user's own switches) never
    // reaches MAME, and its code would be taken for MAME's.
    if (QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-n"), QStringLiteral("-c"), command}) != 0) {
        GameRun run;
        run.problem = QStringLiteral("The shell could not read the command; check the additional switches for an "
                                     "unclosed quote. The command was:\n%1")
                          .arg(command);
        return run;
    }
    return mame.Run(runner, command, watch);
}

GameRun RunGame(ProcessRunner& runner, const QString& command, const Mame& mame) {
    RunWatch none;
    return RunGame(runner, command, mame, none);
}

} // namespace zelvora
