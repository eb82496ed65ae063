#include "store/GroupedWrites.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <algorithm>

namespace zelvora {

GroupedWrites::GroupedWrites(Database& db, int groupSize) : db_(db), groupSize_(std::max(groupSize, 1)) {}

GroupedWrites::~GroupedWrites() {
    if (!open_)
        return;
    try {
        db_.CommitTrans();
    } catch (const StoreError&) {
        // The failure that brought us here, if any, is the one to report; the engine rolls the
        // group back when the file closes.
    }
}

void GroupedWrites::opened() {
    if (open_)
        return;
    db_.BeginTrans();
    open_ = true;
}

void GroupedWrites::written() {
    if (++inGroup_ >= groupSize_)
        Commit();
}

void GroupedWrites::Commit() {
    if (!open_)
        return;
    db_.CommitTrans();
    open_ = false;
    inGroup_ = 0;
}

} // namespace zelvora
