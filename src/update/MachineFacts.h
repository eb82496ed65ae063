#pragma once

#include <vector>

namespace zelvora {

class Database;
struct ListedMachine;
struct MergeOutcome;

// Stores what today's MAME's listing told of each machine beside its record, in place of what the
// last update stored. A disk without room leaves the facts of before, and a remark says so.
void StoreMachineFacts(Database& db, const std::vector<ListedMachine>& machines, MergeOutcome& outcome);

} // namespace zelvora
