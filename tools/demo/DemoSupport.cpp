#include "DemoSupport.h"

#include <QHash>
#include <QStringList>

namespace zelvora::standin {

namespace {

// Each category with the sets of the game list document and the Neo Geo games that belong to it,
// and how many play a game of it, unless the set is named below.
struct Category {
    const char* name;
    const char* players;
    const char* sets;
};

const Category Categories[] = {
    {"Ball & Paddle / Catch", "1P", "avalnche"},
    {"Casino / Cards", "1P", "sucasino"},
    {"Climbing", "2P alt", "sqbert hardhat tazmania"},
    {"Driving / Race", "1P", "csprint f1dream roadf maxrpm upndown rollingc"},
    {"Driving / Race (chase view) Bike", "2P alt", "travrusa"},
    {"Driving / Shooter", "2P alt", "spyhunt srumbler hvymetal"},
    {"Fighter / 2.5D", "2P sim",
     "baddudes ffight knights madgear renegade vigilant tmnt pow tturfbl avengers dwj "
     "myhero tknight hippodrm trojan gladiatr rampage"},
    {"Fighter / Versus", "2P sim",
     "sf2 aof fatfury1 wh1 samsho kof98 kof2000 kof2001 lastblad rbff2 garou kchamp "
     "yiear gsword samurai"},
    {"Maze / Collect", "2P alt",
     "pacman pacplus superpac mappy amidar maketrax lnc jungler bubbles leprechn hustle "
     "headon invho2 invds venture mazeh trog"},
    {"Maze / Digging", "2P alt", "mrdo docastle thepit bagman"},
    {"Maze / Misc.", "2P alt", "maze neobombe popflame mrtnt tutankhm marble"},
    {"Pinball", "2P alt", "timscanr"},
    {"Platform / Run Jump", "2P alt",
     "bionicc gng rastan shinobi wboy wb3bl wbml tnzs rainbow bublbobl dkong ckong "
     "mario jack junglek kangaroo chelnov oscar tokisens mtwins spelunk2 dduxbl "
     "rocnrope bombjack flicky indytemp journey ufosensi ponpoko seganinj citycon "
     "superbon timber"},
    {"Platform / Shooter", "2P alt", "elevator btime"},
    {"Puzzle / Drop", "2P sim", "atetris tetrisbl blockout pnickj"},
    {"Puzzle / Misc.", "2P alt", "solomon qix superqix diamond gundealr locomotn"},
    {"Quiz / English", "2P sim", "fax"},
    {"Shooter / 3D", "1P", "blaster bzone redbaron tomahawk"},
    {"Shooter / Flying Horizontal", "2P alt",
     "cawing blazstar pulstar scramble scobra defender silkworm intrepid "
     "rescue"},
    {"Shooter / Flying Vertical", "2P alt",
     "1942 vulgus xevious twincobr gemini galaga astrob phoenix gorf moonal2 "
     "moonqsr spacefb satansat redalert lrescue invinco killcom darkplnt "
     "vastar stinger sfposeid mrviking calipso brain minefld timetunl"},
    {"Shooter / Flying (chase view)", "2P alt", "bosco sinistar colony7 blstroid llander"},
    {"Shooter / Flying Diagonal", "1P", "szaxxon"},
    {"Shooter / Gallery", "1P", "term2 deadeye tranqgun safari bankp kingball pballoon qwakprot milliped pang"},
    {"Shooter / Walking", "2P alt",
     "aliensyn jailbrek berzerk robotron frenzy splat hbarrel nam1975 mslug mslug4 totcarn narc cop01 "
     "eprom xenophob wwestern jackal vindictr tankbatt swat usvsthem"},
    {"Sports / Armwrestling", "1P", "armwrest"},
    {"Sports / Baseball", "2P alt", "curvebal tornbase"},
    {"Sports / Basketball", "2P sim", "bsktball jumpshot sbasketb"},
    {"Sports / Bowling", "2P alt", "capbowl medlanes"},
    {"Sports / Boxing", "2P sim", "hwchamp"},
    {"Sports / Football", "2P sim", "yard"},
    {"Sports / Golf", "2P alt", "bking2 teedoff"},
    {"Sports / Skiing", "1P", "waterski"},
    {"Sports / Soccer", "2P sim", "wc90"},
    {"Sports / Swimming", "2P alt", "swimmer"},
    {"Sports / Tennis", "2P sim", "passshtb"},
    {"Sports / Track & Field", "4P alt", "hyperspt"},
    {"Sports / Wrestling", "2P sim", "matmania mainevt"},
    {"Tabletop / Mahjong", "1P", "dakkochn"},
};

// Games that many played at once.
const std::pair<const char*, const char*> Players[] = {
    {"knights", "3P sim"},  {"tmnt", "4P sim"},    {"mainevt", "4P sim"}, {"bsktball", "2P sim"},
    {"marble", "2P sim"},   {"rampage", "3P sim"}, {"totcarn", "2P sim"}, {"narc", "2P sim"},
    {"robotron", "2P alt"}, {"atetris", "2P sim"}, {"mslug", "2P sim"},   {"bublbobl", "2P sim"},
};

struct Known {
    QString category;
    QString players;
};

QHash<QString, Known> KnownGames() {
    QHash<QString, Known> known;
    for (const Category& category : Categories) {
        for (const QString& set : QString::fromLatin1(category.sets).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            known.insert(set, {QLatin1String(category.name), QLatin1String(category.players)});
    }
    for (const auto& [set, players] : Players)
        known[QLatin1String(set)].players = QLatin1String(players);
    return known;
}

// The lines of the section for the games the demo knows, by set name as the files are kept.
QString SupportFile(const std::vector<DemoGame>& games, const QString& header, QString Known::*value) {
    const QHash<QString, Known> known = KnownGames();
    QStringList lines;
    int leftOut = 0;
    for (const DemoGame& demo : games) {
        const bool clone = !demo.game.parent.isEmpty();
        if (clone && leftOut < 2) {
            ++leftOut;
            continue;
        }
        const auto found = known.find(clone ? demo.game.parent : demo.game.name);
        if (found != known.end() && !(found.value().*value).isEmpty())
            lines << demo.game.name + QLatin1Char('=') + found.value().*value;
    }
    lines.sort();
    return header + lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QString DemoCategories(const std::vector<DemoGame>& games) {
    return SupportFile(games,
                       QStringLiteral(";; The demo's categories ;;\n\n[FOLDER_SETTINGS]\nRootFolderIcon mame\n"
                                      "SubFolderIcon folder\n\n[ROOT_FOLDER]\n\n[Category]\n"),
                       &Known::category);
}

QString DemoPlayers(const std::vector<DemoGame>& games) {
    return SupportFile(games, QStringLiteral(";; The demo's players ;;\n\n[NPlayers]\n"), &Known::players);
}

QString DemoHistory(const std::vector<DemoGame>& games) {
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<history version=\"demo\" date=\"2026-12-09\">\n");
    int parents = 0;
    for (const DemoGame& demo : games) {
        const StandinGame& game = demo.game;
        if (!game.parent.isEmpty())
            continue;
        text += QStringLiteral("\t<entry>\n\t\t<systems>\n\t\t\t<system name=\"%1\" />\n").arg(game.name);
        if (++parents % 2 == 0) {
            for (const DemoGame& clone : games) {
                if (clone.game.parent == game.name)
                    text += QStringLiteral("\t\t\t<system name=\"%1\" />\n").arg(clone.game.name);
            }
        }
        text += QStringLiteral("\t\t</systems>\n\t\t<text>\n%1 (c) %2 %3.\n\n"
                               "A demo history: this text stands where a collection's history.xml tells "
                               "the story of the game, its makers and its versions. It runs on the %4 "
                               "board with a %5.\n\n- TRIVIA -\n\nEvery demo game has a made-up history.\n"
                               "\t\t</text>\n\t</entry>\n")
                    .arg(game.description.toHtmlEscaped(), game.year, game.maker.toHtmlEscaped(), game.driver,
                         game.cpus[0].toHtmlEscaped());
    }
    return text + QStringLiteral("</history>\n");
}

QString DemoInfo(const std::vector<DemoGame>& games) {
    QString text = QStringLiteral("# MAMEINFO.DAT for the demo\n\n");
    for (const DemoGame& demo : games) {
        const StandinGame& game = demo.game;
        if (!game.parent.isEmpty())
            continue;
        text += QStringLiteral("$info=%1\n$mame\nDemo driver notes for %2.\n\n- TODO -\n"
                               "* Sound is not checked against the real board.\n\n$end\n\n")
                    .arg(game.name, game.description);
    }
    return text;
}

} // namespace zelvora::standin
