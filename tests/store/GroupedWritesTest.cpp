#include "TestDirs.h"

#include "store/Database.h"
#include "store/GroupedWrites.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

using namespace zelvora;

// A write that fails part-way through a group unwinds through GroupedWrites: the writes that had
// returned, in committed groups and in the open one alike, are in the file afterwards, as they
// would be with one commit per record.
TEST(GroupedWrites, WritesThatReturnedStayWrittenWhenAnErrorUnwinds) {
    test::TempProgramDir dir;
    const QString path = dir.file("t.mdb");
    {
        const std::unique_ptr<Database> db = Database::Create(path);
        db->CreateTable("ROMS", "Rom", FieldType::Text, false);
        const std::unique_ptr<Recordset> rs = db->OpenRecordset("ROMS");
        // Groups of two: "a" and "b" fill one, "c" is in the open one when the empty name, which
        // the table refuses, fails.
        EXPECT_THROW(
            {
                GroupedWrites writes(*db, 2);
                for (const char* rom : {"a", "b", "c", ""}) {
                    rs->AddNew();
                    rs->SetValue("Rom", QString(rom));
                    writes.Update(*rs);
                }
            },
            StoreError);
    }
    const std::unique_ptr<Database> db = Database::Open(path, "ROMS");
    const std::unique_ptr<Recordset> rs = db->OpenRecordset("SELECT Rom FROM ROMS");
    QStringList roms;
    for (; !rs->IsEOF(); rs->MoveNext())
        roms << rs->Value("Rom").toString();
    EXPECT_EQ(roms, (QStringList{"a", "b", "c"}));
}
