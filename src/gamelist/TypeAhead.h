#pragma once

#include <QString>

namespace zelvora {

// The rows the type-ahead search looks through. Row 0 is where the grid's header would be: the
// search starts its bisection at row 1 and reaches row 0 only by walking back from a match.
class GridRows {
public:
    virtual ~GridRows() = default;
    virtual int RowCount() const = 0;
    // The text of the row's description column; called a few dozen times per key at most.
    virtual QString Description(int row) const = 0;
};

// The game list's type-ahead search: letters and digits typed within a second of each other build
// up a prefix, and the list jumps to the first row whose description starts with it.
class TypeAhead {
public:
    // Feeds a key code (see KeyCodes.h) that is not one of the grid's command keys, with the
    // character the key typed, if any. `now` is in seconds since midnight. Returns the row to make
    // current and scroll to the top, or -1 when the current row stays.
    int Key(int keyCode, double now, const GridRows& rows, bool sortedByDescription, QChar typed = {});
    // Home, End and F5 move the list themselves, so the next key starts afresh.
    void Clear();

    const QString& TypedText() const { return typedText_; }
    // Whether the last key was one that types a search (a letter, a digit, a blank or
    // punctuation), whether or not the list could be searched.
    bool LastKeyTyped() const { return lastKeyTyped_; }
    double TimeStamp() const { return timeStamp_; }

private:
    int Find(const GridRows& rows) const;

    QString typedText_;
    double timeStamp_ = 0;
    bool lastKeyTyped_ = false;
};

} // namespace zelvora
