// A stand-in for the MAME executable, for tests and for the demo: it answers the listing switches
// and the ROM check from a game data file (see GamesFile.h), and when started with a game it only
// records how it was started.
//
//   mame -listclones | -listgames | -listdetails   a listing on standard output
//   mame -verifyroms [pattern...]                  the ROM check's report on standard output
//   mame -version | -listxml | -showconfig         today's MAME's answers (ZELVORA_STANDIN_LISTXML)
//   mame <game> [switches...]                      "runs" the game
//
// Environment:
//   ZELVORA_STANDIN_GAMES   the game data file; standin-games.tsv beside the executable otherwise
//   ZELVORA_MAME_RECORD     a file to which every start appends one line: the arguments (without
//                           the program's own name) joined by single blanks, bytes as received
//   ZELVORA_MAME_RECORD_ARGS  a file to which every start appends one line: the arguments as a
//                           JSON array of strings, for arguments that hold blanks or line ends
//   ZELVORA_MAME_EXIT       the exit code of a game's run (0 when unset)
//   ZELVORA_MAME_LISTING_BREAK  "<switch> <lines> <exit code>", e.g. "-listdetails 3 139": that
//                           listing stops after its first <lines> lines and the stand-in exits with
//                           <exit code>, as a MAME that crashes part-way through would, saying so on
//                           standard error when the code is not 0
//   ZELVORA_STANDIN_LISTXML a machine listing recorded from today's MAME ("-listxml"); when unset,
//                           standin-listxml.xml beside the executable if there is one. With one, the
//                           stand-in plays today's MAME: "-version" answers the listing's build,
//                           "-listxml" prints the listing as it stands, "-showconfig" names the folders
//                           "$HOME/mame/roms" and "roms" for ROM sets, "artwork", "snap" for
//                           snapshots, and "$HOME/.mame" and "ini" for ini files (beside MAME), and "-listdetails" and
//                           "-listgames" are unknown options, as today's MAME has them; "-verifyroms"
//                           reports in today's words (over a "-rompath" folder that holds nothing,
//                           only on the sets that need no file), and a game start refuses the
//                           switches today's MAME does not know (exit 6), an unknown set (exit 5)
//                           and a set whose files are missing (exit 2), each saying why on
//                           standard error
//   ZELVORA_MAME_WAIT       "<switch> <file>", e.g. "-listxml /tmp/go", or "game <file>" for a game's
//                           start: before it answers, that command waits until <file> exists, as a
//                           MAME that takes its time, or never ends, would; at most a minute

#include "GamesFile.h"
#include "Listings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <utility>

using namespace zelvora::standin;

namespace {

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

void AppendLine(const char* variable, const QByteArray& line) {
    const QString path = qEnvironmentVariable(variable);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line + '\n') != line.size() + 1)
        Print(stderr, QStringLiteral("mame: cannot append to %1 (%2)").arg(path, QLatin1String(variable)));
}

// Every start is recorded, listings and checks included, so a test can see the exact switches
// and patterns that reached MAME after the shell has done its word splitting.
void Record(int argc, char** argv) {
    QByteArrayList raw;
    QJsonArray words;
    for (int i = 1; i < argc; ++i) {
        raw << QByteArray(argv[i]);
        words.append(QString::fromLocal8Bit(argv[i]));
    }
    AppendLine("ZELVORA_MAME_RECORD", raw.join(' '));
    AppendLine("ZELVORA_MAME_RECORD_ARGS", QJsonDocument(words).toJson(QJsonDocument::Compact));
}

QString GamesFilePath() {
    const QString path = qEnvironmentVariable("ZELVORA_STANDIN_GAMES");
    return path.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/standin-games.tsv") : path;
}

int RunGame(const QStringList& args) {
    Print(stdout, QStringLiteral("mame: would now run %1 with: %2").arg(args[0], args.mid(1).join(QLatin1Char(' '))));
    bool ok = false;
    const int code = qEnvironmentVariableIntValue("ZELVORA_MAME_EXIT", &ok);
    return ok ? code : 0;
}

// How many lines of the listing for `command` to print, and the exit code after them; every line
// and 0 unless ZELVORA_MAME_LISTING_BREAK names this command. `lines` -1 stands for a listing of
// unknown length.
std::pair<qsizetype, int> ListingBreak(const QString& command, qsizetype lines) {
    const QStringList words = qEnvironmentVariable("ZELVORA_MAME_LISTING_BREAK").split(QLatin1Char(' '));
    if (words.size() != 3 || words[0].toLower() != command)
        return {lines, 0};
    const qsizetype kept = words[1].toLongLong();
    return {lines < 0 ? kept : std::min(lines, kept), words[2].toInt()};
}

// The recorded listing that makes the stand-in today's MAME, or nothing.
QString ListXmlPath() {
    const QString path = qEnvironmentVariable("ZELVORA_STANDIN_LISTXML");
    if (!path.isEmpty())
        return path;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/standin-listxml.xml");
    return QFile::exists(beside) ? beside : QString();
}

void Stopped(qsizetype lines, int exitCode) {
    if (exitCode != 0)
        Print(stderr, QStringLiteral("mame: stopped after %1 lines of the listing").arg(lines));
}

// Today's MAME prints its version without a line end.
int PrintVersion(QFile& listing) {
    static const QRegularExpression build(QStringLiteral("<mame build=\"([^\"]*)\""));
    // The build stands in the root element, after the document type's declarations.
    const QRegularExpressionMatch match = build.match(QString::fromUtf8(listing.read(256 * 1024)));
    if (!match.hasMatch()) {
        Print(stderr, QStringLiteral("mame: no build in %1").arg(listing.fileName()));
        return 1;
    }
    const QByteArray version = match.captured(1).toUtf8();
    std::fwrite(version.constData(), 1, static_cast<size_t>(version.size()), stdout);
    return 0;
}

// The listing as it stands, in pieces: a generated one runs to hundreds of megabytes.
int PrintListXml(QFile& listing) {
    const auto [lines, exitCode] = ListingBreak(QStringLiteral("-listxml"), -1);
    qsizetype printed = 0;
    QByteArray piece;
    while ((lines < 0 || printed < lines) && !(piece = listing.read(1024 * 1024)).isEmpty()) {
        if (lines >= 0) {
            for (qsizetype at = piece.indexOf('\n'); at >= 0; at = piece.indexOf('\n', at + 1)) {
                if (++printed == lines) {
                    piece.truncate(at + 1);
                    break;
                }
            }
        }
        std::fwrite(piece.constData(), 1, static_cast<size_t>(piece.size()), stdout);
    }
    Stopped(printed, exitCode);
    return exitCode;
}

int TodaysMame(const QString& command, const QString& path) {
    if (command == QLatin1String("-showconfig")) {
        // Its folders, and the settings of the Options page as Debian's MAME 0.251 has them by itself.
        Print(stdout, QStringLiteral("homepath                  .\n"
                                     "rompath                   $HOME/mame/roms;roms\n"
                                     "artpath                   artwork\n"
                                     "inipath                   $HOME/.mame;ini\n"
                                     "snapshot_directory        snap\n"
                                     "autosave                  0\nautoframeskip             0\n"
                                     "frameskip                 0\nkeepaspect                1\n"
                                     "ror                       0\nrol                       0\n"
                                     "flipx                     0\nflipy                     0\n"
                                     "samplerate                48000\nvolume                    0\n"
                                     "joystick                  1\ncheat                     0\n"
                                     "skip_gameinfo             0\nvideo                     opengl\n"
                                     "window                    0\nfilter                    1\n"
                                     "sound                     auto"));
        return 0;
    }
    if (command == QLatin1String("-listdetails") || command == QLatin1String("-listgames")) {
        Print(stderr, QStringLiteral("Error: unknown option: %1").arg(command));
        return 6;
    }
    QFile listing(path);
    if (!listing.open(QIODevice::ReadOnly)) {
        Print(stderr, QStringLiteral("mame: cannot read %1").arg(path));
        return 1;
    }
    return command == QLatin1String("-version") ? PrintVersion(listing) : PrintListXml(listing);
}

// The switches today's MAME takes that a game's options can give, and those the tests add.
const QStringList TodaysFlags = {QStringLiteral("-joystick"),
                                 QStringLiteral("-nojoystick"),
                                 QStringLiteral("-waitvsync"),
                                 QStringLiteral("-syncrefresh"),
                                 QStringLiteral("-norotate"),
                                 QStringLiteral("-nomouse"),
                                 QStringLiteral("-cheat"),
                                 QStringLiteral("-debug"),
                                 QStringLiteral("-ror"),
                                 QStringLiteral("-rol"),
                                 QStringLiteral("-flipx"),
                                 QStringLiteral("-flipy"),
                                 QStringLiteral("-nocheat"),
                                 QStringLiteral("-window"),
                                 QStringLiteral("-nowindow"),
                                 QStringLiteral("-keepaspect"),
                                 QStringLiteral("-nokeepaspect"),
                                 QStringLiteral("-filter"),
                                 QStringLiteral("-nofilter"),
                                 QStringLiteral("-autoframeskip"),
                                 QStringLiteral("-noautoframeskip"),
                                 QStringLiteral("-autosave"),
                                 QStringLiteral("-noautosave"),
                                 QStringLiteral("-skip_gameinfo"),
                                 QStringLiteral("-noskip_gameinfo")};
const QStringList TodaysValued = {
    QStringLiteral("-rompath"),        QStringLiteral("-sound"),          QStringLiteral("-resolution"),
    QStringLiteral("-gamma"),          QStringLiteral("-frameskip"),      QStringLiteral("-samplerate"),
    QStringLiteral("-beam_width_min"), QStringLiteral("-beam_width_max"), QStringLiteral("-flicker"),
    QStringLiteral("-playback"),       QStringLiteral("-record"),         QStringLiteral("-video"),
    QStringLiteral("-volume"),         QStringLiteral("-seconds_to_run")};

int RunTodaysGame(const QStringList& args, const GamesFile& data) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (TodaysValued.contains(args[i]) && i + 1 < args.size()) {
            ++i;
        } else if (!TodaysFlags.contains(args[i])) {
            Print(stderr, QStringLiteral("Error: unknown option: %1").arg(args[i]));
            return 6;
        }
    }
    const auto game = std::find_if(data.games().begin(), data.games().end(), [&](const StandinGame& g) {
        return g.name.compare(args[0], Qt::CaseInsensitive) == 0;
    });
    if (game == data.games().end()) {
        Print(stderr, QStringLiteral("Unknown system '%1'").arg(args[0]));
        return 5;
    }
    if (game->verify == VerifyStatus::Missing) {
        Print(stderr, QStringLiteral("%1.1a NOT FOUND (tried in %1)").arg(game->name));
        Print(stderr, QStringLiteral("Fatal error: Required files are missing, the machine cannot be run."));
        return 2;
    }
    return RunGame(args);
}

// `command` is the switch in lower case, or "game".
void WaitIfAsked(const QString& command) {
    const QString wait = qEnvironmentVariable("ZELVORA_MAME_WAIT");
    if (wait.section(QLatin1Char(' '), 0, 0).toLower() != command)
        return;
    const QString file = wait.section(QLatin1Char(' '), 1);
    // A test whose program never stops it leaves nothing running for long.
    const QDeadlineTimer deadline(60 * 1000);
    while (!QFile::exists(file) && !deadline.hasExpired())
        QThread::msleep(20);
}

int Usage(const QString& problem) {
    Print(stderr, QStringLiteral("mame: %1\n"
                                 "usage: mame -listclones | -listgames | -listdetails | -verifyroms [pattern]\n"
                                 "       mame <game> [switches...]")
                      .arg(problem));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Record(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty())
        return Usage(QStringLiteral("no game and no switch given"));
    const QString command = args[0].toLower();
    WaitIfAsked(command.startsWith(QLatin1Char('-')) ? command : QStringLiteral("game"));
    const QString listXml = ListXmlPath();
    const bool today = !listXml.isEmpty();
    if (!command.startsWith(QLatin1Char('-')) && !today)
        return RunGame(args);
    if (today && (command == QLatin1String("-version") || command == QLatin1String("-listxml") ||
                  command == QLatin1String("-showconfig") || command == QLatin1String("-listdetails") ||
                  command == QLatin1String("-listgames")))
        return TodaysMame(command, listXml);

    QStringList (*listing)(const std::vector<StandinGame>&) = nullptr;
    if (command == QLatin1String("-listclones"))
        listing = ListClones;
    else if (command == QLatin1String("-listgames"))
        listing = ListGames;
    else if (command == QLatin1String("-listdetails"))
        listing = ListDetails;
    else if (command != QLatin1String("-verifyroms") && command.startsWith(QLatin1Char('-')))
        return Usage(QStringLiteral("unknown switch %1").arg(args[0]));

    GamesFile data;
    if (!data.Load(GamesFilePath())) {
        Print(stderr, QStringLiteral("mame: %1").arg(data.error()));
        return 1;
    }
    if (!command.startsWith(QLatin1Char('-')))
        return RunTodaysGame(args, data);
    if (today && command == QLatin1String("-verifyroms")) {
        QStringList patterns;
        for (qsizetype i = 1; i < args.size() && !args[i].startsWith(QLatin1Char('-')); ++i)
            patterns << args[i];
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const qsizetype romPath = args.indexOf(QLatin1String("-rompath"));
        const bool emptyRomPath =
            romPath > 0 && romPath + 1 < args.size() && QDir(args[romPath + 1]).exists() &&
            QDir(args[romPath + 1]).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const TodaysReport report = TodaysVerifyReport(data.games(), patterns, emptyRomPath);
        for (const QString& line : report.output)
            Print(stdout, line);
        for (const QString& line : report.errors)
            Print(stderr, line);
        return report.exitCode;
    }
    const QStringList lines =
        listing ? listing(data.games()) : VerifyReport(data.games(), args.value(1, QStringLiteral("*.*")));
    const auto [printed, exitCode] = ListingBreak(command, lines.size());
    QByteArray text = (printed < lines.size() ? lines.first(printed) : lines).join(QLatin1Char('\n')).toUtf8();
    if (printed > 0)
        text += '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    Stopped(printed, exitCode);
    return exitCode;
}
