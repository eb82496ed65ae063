// A stand-in for the MAME executable, for tests and for the demo: it answers the listing switches
// and the ROM check from a game data file (see GamesFile.h), and when started with a game it only
// records how it was started.
//
//   mame -listclones | -listgames | -listdetails   a listing on standard output
//   mame -verifyroms [pattern]                     the ROM check's report on standard output
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
//                           <exit code>, as a MAME that crashes part-way through would

#include "GamesFile.h"
#include "Listings.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

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
// and 0 unless ZELVORA_MAME_LISTING_BREAK names this command.
std::pair<qsizetype, int> ListingBreak(const QString& command, qsizetype lines) {
    const QStringList words = qEnvironmentVariable("ZELVORA_MAME_LISTING_BREAK").split(QLatin1Char(' '));
    if (words.size() != 3 || words[0].toLower() != command)
        return {lines, 0};
    return {std::min(lines, words[1].toLongLong()), words[2].toInt()};
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
    if (!command.startsWith(QLatin1Char('-')))
        return RunGame(args);

    QStringList (*listing)(const std::vector<StandinGame>&) = nullptr;
    if (command == QLatin1String("-listclones"))
        listing = ListClones;
    else if (command == QLatin1String("-listgames"))
        listing = ListGames;
    else if (command == QLatin1String("-listdetails"))
        listing = ListDetails;
    else if (command != QLatin1String("-verifyroms"))
        return Usage(QStringLiteral("unknown switch %1").arg(args[0]));

    GamesFile data;
    if (!data.Load(GamesFilePath())) {
        Print(stderr, QStringLiteral("mame: %1").arg(data.error()));
        return 1;
    }
    const QStringList lines =
        listing ? listing(data.games()) : VerifyReport(data.games(), args.value(1, QStringLiteral("*.*")));
    const auto [printed, exitCode] = ListingBreak(command, lines.size());
    QByteArray text = (printed < lines.size() ? lines.first(printed) : lines).join(QLatin1Char('\n')).toUtf8();
    if (printed > 0)
        text += '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return exitCode;
}
