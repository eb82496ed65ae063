#include "CatalogueFixture.h"

#include "platform/Progress.h"
#include "update/MergedRecords.h"

using namespace zelvora;

namespace {

// The merge's look-ups replace the recordset's: for every key, in both directions, they must find
// the record the recordset finds, before and after the merge has removed, renamed and added
// records and written them. Each record carries its own mark in Notes to tell which was found.
TEST(MergedRecords, FindTheRecordsTheRecordsetFinds) {
    test::CatalogueFixture catalogue;
    Variables& vars = catalogue.vars;
    const struct {
        QString rom;
        QVariant description;
    } rows[] = {
        {"pacman", "Pac-Man"}, {"PACMAN", "pac-man"},    {"galaga", "Galaga"},
        {"Galaga", "Galaga"},  {"café", "Café"},         {"CAFÉ", "CAFÉ"},
        {"blank", ""},         {"nodesc", QVariant()},   {"digdug", "Dig Dug"},
        {"DigDug", "DIG DUG"}, {"o'neil", "Say \"Hi\""},
    };
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i)
        catalogue.add(rows[i].rom, {}, {{"Description", rows[i].description}, {"Notes", QString::number(i)}});
    const QStringList keys = {"pacman", "PacMan", "Pac-Man", "PAC-MAN", "galaga", "GALAGA",     "café",  "CAFÉ",
                              "Café",   "",       "digdug",  "Dig Dug", "o'neil", "Say \"Hi\"", "nosuch"};

    vars.RomsRecordset = vars.CatalogueDb->OpenRecordset("SELECT * FROM ROMS");
    MergedRecords records(*vars.RomsRecordset);
    const auto expectSameFinds = [&](Recordset& rs) {
        for (const QString& key : keys) {
            for (const bool fromLast : {false, true}) {
                for (const char* field : {"Rom", "Description"}) {
                    SCOPED_TRACE(
                        QString("%1 %2 from the %3").arg(field, key, fromLast ? "last" : "first").toStdString());
                    const bool found = fromLast ? rs.FindLast(field, key) : rs.FindFirst(field, key);
                    const int record = QString(field) == "Rom" ? records.FindRom(key, fromLast)
                                                               : records.FindDescription(key, fromLast);
                    ASSERT_EQ(record >= 0, found);
                    if (found) {
                        EXPECT_EQ(records.Value(record, MergeField::Notes).toString(), rs.Value("Notes").toString());
                    }
                }
            }
        }
    };
    expectSameFinds(*vars.RomsRecordset);

    records.Remove(records.FindRom("pacman", false));
    records.Remove(records.FindDescription("CAFÉ", true));
    records.SetValue(records.FindRom("galaga", true), MergeField::Rom, "DIGDUG");
    records.SetValue(records.FindRom("digdug", false), MergeField::Description, "Galaga");
    const int added = records.Add();
    records.SetValue(added, MergeField::Rom, "Pacman");
    records.SetValue(added, MergeField::Description, "Café");
    records.SetValue(added, MergeField::Notes, "added");
    NoProgress quiet;
    Transaction transaction(*vars.CatalogueDb);
    records.Write(quiet);
    transaction.Commit();

    const std::unique_ptr<Recordset> written = vars.CatalogueDb->OpenRecordset("SELECT * FROM ROMS");
    EXPECT_EQ(written->RecordCount(), static_cast<int>(std::size(rows)) + 1 - 2 + 1) << "the default record too";
    expectSameFinds(*written);
}

} // namespace
