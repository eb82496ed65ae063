// make-demo <folder> [game list document]
//
// Makes a demo installation in <folder> for the program to run against: the stand-in MAME with
// a few hundred games and their game list document, screenshots, zipped ROM sets, the support
// files (catver.ini, nplayers.ini, history.xml, mameinfo.dat), titles and flyers, and a settings
// file that already names those five folders. A folder that holds ".complete" is left alone, but
// for the support files and artwork that a demo made before them is given.
// The parents' titles and set names come from a real game list document, the one under
// tests/fixtures unless the second argument names another.

#include "DemoGames.h"
#include "DemoSupport.h"
#include "PcxWriter.h"
#include "Screenshot.h"
#include "standin/GamesFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

using namespace zelvora::standin;

namespace {

constexpr unsigned DemoSeed = 1998;

[[noreturn]] void Fail(const QString& message) {
    std::fprintf(stderr, "make-demo: %s\n", qPrintable(message));
    std::exit(1);
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

QString MakeFolder(const QString& root, const QString& name) {
    const QString path = root + QLatin1Char('/') + name;
    if (!QDir().mkpath(path))
        Fail(QStringLiteral("cannot create the folder %1").arg(path));
    return path + QLatin1Char('/');
}

// An empty but well-formed zip archive: only the end-of-central-directory record.
QByteArray EmptyZip() {
    return QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
}

} // namespace

int main(int argc, char** argv) {
    // Screenshots are drawn without a screen; fonts still need a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3)
        Fail(QStringLiteral("usage: make-demo <folder> [game list document]"));

    const QString root = QDir(args[1]).absolutePath();
    const QString complete = root + QStringLiteral("/.complete");
    const QString mame = MakeFolder(root, QStringLiteral("mame"));
    // A copy, not a link: the stand-in finds its game data beside its own resolved path. Copied
    // again into a finished demo, so the demo always runs the stand-in just built.
    const QString standin = QCoreApplication::applicationDirPath() + QStringLiteral("/mame");
    QFile::remove(mame + QStringLiteral("mame"));
    if (!QFile::copy(standin, mame + QStringLiteral("mame")))
        Fail(QStringLiteral("cannot copy the stand-in MAME from %1").arg(standin));
    const bool finished = QFile::exists(complete);
    if (finished && QFileInfo::exists(root + QStringLiteral("/artwork"))) {
        std::printf("make-demo: %s is complete already.\n", qPrintable(root));
        return 0;
    }

    const QString source = args.value(2, QStringLiteral(ZELVORA_DEMO_GAMELIST));
    QFile sourceFile(source);
    if (!sourceFile.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read the game list document %1: %2").arg(source, sourceFile.errorString()));
    const std::vector<DemoGame> games = MakeDemoGames(QString::fromLatin1(sourceFile.readAll()), DemoSeed);
    if (games.empty())
        Fail(QStringLiteral("%1 has no table rows to take games from").arg(source));

    const QString support = MakeFolder(root, QStringLiteral("support"));
    Write(support + QStringLiteral("catver.ini"), DemoCategories(games).toLatin1());
    Write(support + QStringLiteral("nplayers.ini"), DemoPlayers(games).toLatin1());
    Write(support + QStringLiteral("history.xml"), DemoHistory(games).toUtf8());
    Write(support + QStringLiteral("mameinfo.dat"), DemoInfo(games).toUtf8());
    // Titles and flyers of the parents, in folders; a clone shows its parent's.
    const QString artwork = MakeFolder(root, QStringLiteral("artwork"));
    const QString titles = MakeFolder(root, QStringLiteral("artwork/titles"));
    const QString flyers = MakeFolder(root, QStringLiteral("artwork/flyers"));
    for (const DemoGame& demo : games) {
        if (!demo.game.parent.isEmpty())
            continue;
        if (!DrawTitle(demo.game).save(titles + demo.game.name + QStringLiteral(".png")) ||
            !DrawFlyer(demo.game).save(flyers + demo.game.name + QStringLiteral(".jpg"), "JPEG", 85))
            Fail(QStringLiteral("cannot write the artwork of %1 in %2").arg(demo.game.name, artwork));
    }
    const QString config = MakeFolder(root, QStringLiteral("config/Zelvora"));
    const auto saveSetting = [&config](const QString& key, const QString& value) {
        QSettings settings(config + QStringLiteral("zelvora.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("settings/") + key, value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            Fail(QStringLiteral("cannot write %1zelvora.ini").arg(config));
    };
    if (finished) {
        saveSetting(QStringLiteral("supportfiles"), support);
        saveSetting(QStringLiteral("artworkfiles"), artwork);
        std::printf("make-demo: support files and artwork added to %s\n", qPrintable(root));
        return 0;
    }

    const QString pcx = MakeFolder(root, QStringLiteral("pcx"));
    const QString roms = MakeFolder(root, QStringLiteral("roms"));

    std::vector<StandinGame> listed;
    int clones = 0;
    int screenshots = 0;
    int zips = 0;
    for (const DemoGame& demo : games) {
        listed.push_back(demo.game);
        clones += demo.game.parent.isEmpty() ? 0 : 1;
        if (demo.screenshot) {
            Write(pcx + demo.game.name + QStringLiteral(".pcx"), zelvora::test::WritePcx8(DrawScreenshot(demo.game)));
            ++screenshots;
        }
        if (demo.zip) {
            Write(roms + demo.game.name + QStringLiteral(".zip"), EmptyZip());
            ++zips;
        }
    }
    Write(mame + QStringLiteral("standin-games.tsv"), GamesFile::Format(listed));
    Write(mame + QStringLiteral("gamelist.txt"), DemoGamelist(games).toLatin1());

    saveSetting(QStringLiteral("mamelocation"), mame);
    saveSetting(QStringLiteral("pcxfiles"), pcx);
    saveSetting(QStringLiteral("romfiles"), roms);
    saveSetting(QStringLiteral("supportfiles"), support);
    saveSetting(QStringLiteral("artworkfiles"), artwork);
    Write(complete, QByteArray());

    std::printf("make-demo: %zu games (%d clones), %d screenshots, %d zipped sets in %s\n", games.size(), clones,
                screenshots, zips, qPrintable(root));
    return 0;
}
