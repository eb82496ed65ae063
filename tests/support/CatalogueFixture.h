#pragma once

#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "launcher/ProcessRunner.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"
#include "store/Recordset.h"
#include "store/Variables.h"
#include "update/CatalogueMerge.h"

#include <QFileInfo>
#include <QVariantMap>

#include <optional>

#include <gtest/gtest.h>

namespace zelvora::test {

// A field of a stored record as the file holds it, wherever the program's recordset stands.
inline QVariant StoredValue(Database& db, const QString& rom, const QString& field) {
    auto rs = db.OpenRecordset(QStringLiteral("ROMS"));
    EXPECT_TRUE(rs->FindFirst(QStringLiteral("Rom"), rom)) << rom.toStdString();
    return rs->Value(field);
}

// One field of every record, in the recordset's order, or in table order.
inline QStringList Column(Recordset& rs, const QString& field = QStringLiteral("Rom")) {
    QStringList values;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        values << rs.Value(field).toString();
    return values;
}
inline QStringList Column(Database& db, const QString& field = QStringLiteral("Rom")) {
    return Column(*db.OpenRecordset(QStringLiteral("ROMS")), field);
}

// An update's report that shows nothing and counts the games added and expired.
struct CountingReport : MergeReport {
    void SetText(const QString&) override {}
    void SetRange(int, int) override {}
    void SetValue(int) override {}
    void NewGame(const QString&) override { ++added; }
    void ExpiredGame(const QString&) override { ++expired; }
    int added = 0, expired = 0;
};

// Where Debian's package "mame" installs today's MAME, for the tests that need the real one.
inline const QString InstalledMame = QStringLiteral("/usr/games/");
inline bool MameInstalled() {
    return QFileInfo(MameExecutable(InstalledMame)).isExecutable();
}

// Asks CatalogueFixture for the program directory alone, for a test that writes the catalogue.
struct NoCatalogue {};

// A current catalogue made by the start-up sequence and left open in `vars`, in a program
// directory of its own or in `programDir` (where a shell test's windows open it afterwards).
struct CatalogueFixture {
    explicit CatalogueFixture(const QString& programDir = QString()) : CatalogueFixture(NoCatalogue{}, programDir) {
        PrepareCatalogue(vars);
    }
    explicit CatalogueFixture(NoCatalogue, const QString& programDir = QString()) {
        vars.ProgramDir = programDir.isEmpty() ? program.path() : programDir;
    }

    QString file() const { return CatalogueFile(vars.ProgramDir); }
    void close() {
        rs_.reset();
        vars.CatalogueDb.reset();
    }

    // The test's own recordset over ROMS, opened at its first use: records added later by other
    // writers are not in it.
    Recordset& rs() {
        if (!rs_ || !rs_->IsOpen())
            rs_ = vars.CatalogueDb->OpenRecordset(QStringLiteral("ROMS"));
        return *rs_;
    }
    void add(const QString& rom, const QString& description, const QVariantMap& fields = {}) {
        AddGame(rs(), rom, description, fields);
    }
    // Changes fields of a stored record, the default record (DefaultRom) too; `rs()` stays on it.
    void set(const QString& rom, const QVariantMap& fields) {
        rs_.reset(); // opened anew, to hold every record there is now
        if (!rs().FindFirst(QStringLiteral("Rom"), rom)) {
            ADD_FAILURE() << "no record " << rom.toStdString();
            return;
        }
        rs().Edit();
        for (auto it = fields.begin(); it != fields.end(); ++it)
            rs().SetValue(it.key(), it.value());
        rs().Update();
    }
    QVariant stored(const QString& rom, const QString& field) { return StoredValue(*vars.CatalogueDb, rom, field); }
    // The games of the open catalogue.
    GameStore& store() { return store_.emplace(*vars.CatalogueDb); }

    TempProgramDir program; // the program directory unless another is given
    Variables vars;

private:
    std::unique_ptr<Recordset> rs_;
    std::optional<GameStore> store_;
};

} // namespace zelvora::test
