#pragma once

namespace zelvora {

class Database;

// Stores a long loop's record writes in groups per commit instead of one commit per record:
// 50,000 commits cost seconds, 50 cost nothing. A group is committed when it is full, when
// Commit() is called and when the object goes away, also while an error unwinds, so every record
// whose write returned stays written, as it would with one commit per record.
//
// A group stays open while the loop lets pending window events run: whatever runs then must not
// begin a transaction of its own.
class GroupedWrites {
public:
    static constexpr int DefaultGroupSize = 1000;

    explicit GroupedWrites(Database& db, int groupSize = DefaultGroupSize);
    ~GroupedWrites();
    GroupedWrites(const GroupedWrites&) = delete;
    GroupedWrites& operator=(const GroupedWrites&) = delete;

    // Makes one write, inside the open group.
    template <typename Write> void Run(Write write) {
        opened();
        write();
        written();
    }
    void Commit();

private:
    void opened();
    void written();

    Database& db_;
    int groupSize_;
    int inGroup_ = 0;
    bool open_ = false;
};

} // namespace zelvora
