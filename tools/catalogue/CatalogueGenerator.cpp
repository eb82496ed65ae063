#include "CatalogueGenerator.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/Variables.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <random>

namespace zelvora::test {

namespace {

const char* const Words[] = {"Pac",   "Galaxy", "Star",   "Dragon",  "Street", "Fighter", "Space", "Raiders",
                             "Ninja", "Turbo",  "Bubble", "Blast",   "Metal",  "Slug",    "Super", "Force",
                             "Rally", "Zero",   "Castle", "Thunder", "Moon",   "Cross",   "Final", "Knight",
                             "Sky",   "Kid",    "Ghost",  "Road",    "Power",  "Strike",  "Tiger", "Hero"};
const char* const Makers[] = {"Namco",    "Capcom", "Konami",     "Sega",   "Taito",  "SNK",     "Irem", "Data East",
                              "Williams", "Atari",  "Nichibutsu", "Jaleco", "Midway", "Technos", "Tecmo"};
const char* const Drivers[] = {"pacman.c",   "cps1.c",     "galaga.c",   "system16.c", "taito_f2.c", "konamigx.c",
                               "williams.c", "atarisy1.c", "irem_m72.c", "dec0.c",     "neogeo.c"};
const char* const Cpus[] = {"Z80 (3.072 MHz)", "68000 (10 MHz)", "6809 (1.5 MHz)", "6502 (1.79 MHz)", "8080 (2 MHz)"};
const char* const Chips[] = {"Namco", "YM2151", "YM2203", "AY-3-8910", "SN76496", "OKIM6295", "DAC", "YM2610"};
const char* const Variants[] = {" (set 2)", " (Japan)", " (bootleg)", " (US)", " (World)", " (prototype)"};

template <typename T, size_t N> const T& pick(std::mt19937& rng, const T (&list)[N]) {
    return list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

} // namespace

std::vector<GeneratedGame> GenerateGames(Database& db, int games, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<GeneratedGame> made;
    made.reserve(static_cast<size_t>(games));
    QSet<QString> names;
    QSet<QString> titles;
    QHash<QString, size_t> parentOf; // a parent's set name -> its index in `made`

    Transaction transaction(db);
    std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("ROMS"));
    for (int i = 0; i < games; ++i) {
        GeneratedGame game;
        const bool clone = !made.empty() && percent(rng) < 35;
        if (clone) {
            // MAME's clones all name the parent set, never another clone.
            size_t parent = std::uniform_int_distribution<size_t>(0, made.size() - 1)(rng);
            while (!made[parent].clone.isEmpty())
                parent = parentOf.value(made[parent].clone);
            game.clone = made[parent].rom;
            game.description = made[parent].description + QLatin1String(pick(rng, Variants));
        } else {
            game.description =
                QStringLiteral("%1 %2").arg(QLatin1String(pick(rng, Words)), QLatin1String(pick(rng, Words)));
            if (percent(rng) < 40)
                game.description += QStringLiteral(" %1").arg(std::uniform_int_distribution<int>(2, 99)(rng));
        }
        // Titles and set names are unique in a real catalogue; a counter keeps them so here.
        if (titles.contains(game.description))
            game.description += QStringLiteral(" [%1]").arg(i);
        titles.insert(game.description);
        QString rom = game.description.left(6).toLower().remove(QLatin1Char(' ')).remove(QLatin1Char('-'));
        rom += QString::number(i % 100);
        while (names.contains(rom))
            rom = rom.left(5) + QString::number(std::uniform_int_distribution<int>(0, 999999)(rng));
        game.rom = rom.left(8);
        while (names.contains(game.rom))
            game.rom = QStringLiteral("g%1").arg(i);
        names.insert(game.rom);
        if (game.clone.isEmpty())
            parentOf.insert(game.rom, made.size());

        const bool neogeo = percent(rng) < 5;
        rs->AddNew();
        rs->SetValue(QStringLiteral("Rom"), game.rom);
        rs->SetValue(QStringLiteral("Description"), game.description);
        rs->SetValue(QStringLiteral("Driver"), neogeo ? QStringLiteral("neogeo.c") : QLatin1String(pick(rng, Drivers)));
        rs->SetValue(QStringLiteral("CPU 1"), QLatin1String(pick(rng, Cpus)));
        if (percent(rng) < 50)
            rs->SetValue(QStringLiteral("CPU 2"), QLatin1String(pick(rng, Cpus)));
        rs->SetValue(QStringLiteral("Sound 1"), QLatin1String(pick(rng, Chips)));
        if (percent(rng) < 40)
            rs->SetValue(QStringLiteral("Sound 2"), QLatin1String(pick(rng, Chips)));
        rs->SetValue(QStringLiteral("Date"), QString::number(std::uniform_int_distribution<int>(1978, 2008)(rng)));
        rs->SetValue(QStringLiteral("Manufacturer"), QLatin1String(pick(rng, Makers)));
        if (!game.clone.isEmpty())
            rs->SetValue(QStringLiteral("Clone"), game.clone);
        rs->SetValue(QStringLiteral("Playable"), percent(rng) < 80 ? QStringLiteral("Yes") : QStringLiteral("No"));
        rs->SetValue(QStringLiteral("Colors"), QStringLiteral("Yes"));
        rs->SetValue(QStringLiteral("Sound"), percent(rng) < 70 ? QStringLiteral("Yes") : QStringLiteral("Partial"));
        rs->SetValue(QStringLiteral("Hi Score"), percent(rng) < 50 ? QStringLiteral("Yes") : QStringLiteral("No"));
        rs->SetValue(QStringLiteral("Cocktail"), percent(rng) < 30 ? QStringLiteral("Yes") : QStringLiteral("No"));
        if (percent(rng) < 10)
            rs->SetValue(QStringLiteral("Notes"), QStringLiteral("Colors are wrong.\rSound is incomplete."));
        rs->SetValue(QStringLiteral("Active"), -1);
        rs->SetValue(QStringLiteral("Default"), percent(rng) < 85 ? 1 : 0);
        rs->SetValue(QStringLiteral("Sample Rate"), percent(rng) < 50 ? 22050 : 44100);
        rs->SetValue(QStringLiteral("Gamma"), std::uniform_int_distribution<int>(5, 20)(rng));
        rs->SetValue(QStringLiteral("Frame Skip"), std::uniform_int_distribution<int>(0, 3)(rng));
        rs->SetValue(QStringLiteral("16 Bit Sound"), percent(rng) < 50 ? -1 : 0);
        rs->SetValue(QStringLiteral("PlayOpt"), 0);
        rs->SetValue(QStringLiteral("Screenshot"), percent(rng) < 20 ? 1 : 0);
        rs->SetValue(QStringLiteral("Missing ROM"), percent(rng) < 15 ? 1 : 0);
        rs->SetValue(QStringLiteral("Bad ROM"), percent(rng) < 5 ? 1 : 0);
        rs->Update();
        made.push_back(std::move(game));
    }
    rs.reset();
    transaction.Commit();
    return made;
}

void AddGame(Recordset& rs, const QString& rom, const QString& description, const QVariantMap& fields) {
    rs.AddNew();
    rs.SetValue(QStringLiteral("Rom"), rom);
    rs.SetValue(QStringLiteral("Description"), description);
    for (auto it = fields.begin(); it != fields.end(); ++it)
        rs.SetValue(it.key(), it.value());
    rs.Update();
}

std::vector<GeneratedGame> MakeCatalogue(const QString& programDir, int games, unsigned seed) {
    Variables vars;
    vars.ProgramDir = programDir;
    PrepareCatalogue(vars);
    return GenerateGames(*vars.CatalogueDb, games, seed);
}

} // namespace zelvora::test
