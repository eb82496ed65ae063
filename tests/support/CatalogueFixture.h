#pragma once

#include "CatalogueGenerator.h"
#include "TestDirs.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/Variables.h"

#include <QVariantMap>

#include <gtest/gtest.h>

namespace zelvora::test {

// A field of a stored record as the file holds it, wherever the program's recordset stands.
inline QVariant StoredValue(Database& db, const QString& rom, const QString& field) {
    auto rs = db.OpenRecordset(QStringLiteral("ROMS"));
    EXPECT_TRUE(rs->FindFirst(QStringLiteral("Rom"), rom)) << rom.toStdString();
    return rs->Value(field);
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
        vars.Fields.InitFieldNames();
    }

    QString file() const { return CatalogueFile(vars.ProgramDir); }
    void close() {
        vars.RomsRecordset.reset();
        vars.CatalogueDb.reset();
    }

    Recordset& rs() { return *vars.RomsRecordset; }
    void add(const QString& rom, const QString& description, const QVariantMap& fields = {}) {
        AddGame(rs(), rom, description, fields);
    }
    // Changes fields of a stored record, the default record (DefaultRom) too; `rs()` stays on it.
    void set(const QString& rom, const QVariantMap& fields) {
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

    TempProgramDir program; // the program directory unless another is given
    Variables vars;
};

} // namespace zelvora::test
