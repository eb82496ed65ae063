#include "launcher/CommandLine.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "store/FieldTable.h"
#include "store/Recordset.h"

#include <QVariant>

#include "store/TextCompare.h"
#include <array>

#include <cmath>
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

QString text(const Recordset& rs, const QString& field) {
    const QVariant value = rs.Value(field);
    return value.isNull() ? QString() : value.toString();
}

// A switch whose value is glued on by NumberText, when the field holds a value other than the
// 0 that leaves MAME at its own default. `scale` turns the stored step into MAME's value.
void appendNumber(QString& result, const Recordset& rs, const QString& field, const QString& name,
                  double (*scale)(double) = nullptr) {
    const std::optional<double> x = number(rs, field);
    if (!x || *x == 0)
        return;
    result += name + NumberText(scale ? scale(*x) : *x) + QLatin1Char(' ');
}

struct CheckSwitch {
    const char* field;
    const char* text;
};

// In the order MAME is given them.
constexpr std::array<CheckSwitch, 16> CheckSwitches{{
    {"16 Bit Sound", "-sb 16 "},
    {"YM2203", "-ym2203opl "},
    {"YM3812", "-noym3812opl "},
    {"No Scanlines", "-noscanlines "},
    {"VESA Modes", "-vesa "},
    {"Pixel Doubling", "-double "},
    {"8 Bit Color", "-depth 8 "},
    {"Synch Video", "-vsync "},
    {"Always Synch", "-alwayssynced "},
    {"No Rotation", "-norotate "},
    {"No Mouse", "-nomouse "},
    {"Cheats", "-cheat "},
    {"Antialias", "-noantialias "},
    {"Debugger", "-debug "},
    {"No Trans", "-notranslucency "},
    {"No Stereo", "-nostereo "},
}};

constexpr std::array<const char*, 6> Resolutions{"-320x240 ", "-400x300 ", "-512x384 ",
                                                 "-640x480 ", "-800x600 ", "-1024x768 "};

} // namespace

QString NumberText(double x) {
    // QString::number always writes the C locale's form, whatever the user's locale is.
    QString digits = QString::number(std::fabs(x), 'g', 15).toUpper();
    if (digits.startsWith(QLatin1String("0.")))
        digits.remove(0, 1);
    // -0 is zero and takes the blank of the values of zero and more.
    return (x < 0 ? QLatin1Char('-') : QLatin1Char(' ')) + digits;
}

QString BuildCommandLine(Recordset& rs) {
    // Every catalogue holds the default record; were it missing, FindFirst would leave the game's
    // own record current and its options would be read.
    if (equals(rs, QStringLiteral("Default"), 1))
        rs.FindFirst(QStringLiteral("Rom"), DefaultRom);

    // Playback and AltDir come from stored text and become words of a /bin/sh command line:
    // quoted, a folder with blanks or quotes reaches MAME as one argument and can run nothing.
    // Additional is the user's own switch text and is meant to be read by the shell as typed.
    QString result;
    const QString playback = TrimBlanks(text(rs, QStringLiteral("Playback")));
    if (!playback.isEmpty()) {
        if (equals(rs, QStringLiteral("PlayOpt"), 1))
            result += QStringLiteral("-playback ") + ShellQuote(playback) + QLatin1Char(' ');
        else if (equals(rs, QStringLiteral("PlayOpt"), 2))
            result += QStringLiteral("-record ") + ShellQuote(playback) + QLatin1Char(' ');
    }
    const QString altDir = TrimBlanks(text(rs, QStringLiteral("AltDir")));
    if (!altDir.isEmpty())
        result += QStringLiteral("-romdir ") + ShellQuote(altDir) + QLatin1Char(' ');

    // The sound choice has no "MAME's default" value and is always passed, zero included.
    if (const std::optional<double> card = number(rs, QStringLiteral("Sound Card")))
        result += QStringLiteral("-soundcard") + NumberText(*card) + QLatin1Char(' ');

    for (size_t i = 0; i < Resolutions.size(); ++i) {
        if (equals(rs, QStringLiteral("Resolution"), static_cast<double>(i + 1)))
            result += QLatin1String(Resolutions[i]);
    }
    appendNumber(result, rs, QStringLiteral("Joystick"), QStringLiteral("-joy"));

    // A check box counts as set only at 1; True (-1) or any other value leaves it off.
    for (const CheckSwitch& check : CheckSwitches) {
        if (equals(rs, QLatin1String(check.field), 1))
            result += QLatin1String(check.text);
    }

    appendNumber(result, rs, QStringLiteral("Gamma"), QStringLiteral("-gamma"), [](double x) { return x / 10 + 1.2; });
    appendNumber(result, rs, QStringLiteral("VGA Freq"), QStringLiteral("-vgafreq"));
    if (equals(rs, QStringLiteral("Rotate"), 1))
        result += QLatin1String("-ror ");
    else if (equals(rs, QStringLiteral("Rotate"), 2))
        result += QLatin1String("-rol ");
    if (equals(rs, QStringLiteral("Flip"), 1))
        result += QLatin1String("-flipx ");
    else if (equals(rs, QStringLiteral("Flip"), 2))
        result += QLatin1String("-flipy ");
    appendNumber(result, rs, QStringLiteral("Beam"), QStringLiteral("-beam"), [](double x) { return x / 4; });
    appendNumber(result, rs, QStringLiteral("Flicker"), QStringLiteral("-flicker"), [](double x) { return x / 2; });
    appendNumber(result, rs, QStringLiteral("Frame Skip"), QStringLiteral("-frameskip"));

    if (const std::optional<double> rate = number(rs, QStringLiteral("Sample Rate"))) {
        if (*rate == -1)
            result += QLatin1String("-sr 11025 ");
        else if (*rate != 0)
            result += QLatin1String("-sr 44100 ");
    }

    const QString additional = text(rs, QStringLiteral("Additional"));
    if (!additional.isEmpty())
        result = TrimBlanks(result + additional);
    return result;
}

QString GameExecutable(const QString& mamePath, const QString& altExec) {
    const QString name = altExec.trimmed();
    if (name.isEmpty())
        return ShellQuote(MameExecutable(mamePath)) + QLatin1Char(' ');
    return ShellQuote(name.contains(QLatin1Char('/')) ? name : mamePath + name);
}

QString BuildGameCommand(Recordset& rs, const QString& mamePath) {
    const std::int64_t game = rs.Bookmark();
    const QString rom = text(rs, QStringLiteral("Rom"));
    const QString switches = BuildCommandLine(rs);
    // Read from the record the options came from: a game on the default set also uses the
    // default record's executable.
    const QString executable = GameExecutable(mamePath, text(rs, QStringLiteral("AltExec")));
    rs.MoveToBookmark(game);
    return executable + QLatin1Char(' ') + ShellQuote(rom) + QLatin1Char(' ') + switches;
}

} // namespace zelvora
