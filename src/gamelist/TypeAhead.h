#pragma once

#include <QString>
#include <QStringView>

#include <optional>

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

// The game list's type-ahead search: characters typed within a second of each other build up a
// prefix, and the list jumps to the first row whose description starts with it.
class TypeAhead {
public:
    // A pause longer than this, in milliseconds, starts a new word.
    static constexpr qint64 PauseMs = 1000;

    // Whether a released key means anything to the search: it types a character, or it is a key
    // that moves, edits or calls a function (an arrow, Escape, F2) and so ends the word. Other keys
    // (the media keys, the menu key, a dead key) leave the search as it is.
    static bool Concerns(int qtKey, QStringView text);

    // Feeds a key the search is concerned with that is not one of the grid's command keys: its Qt
    // key code and the text it typed. Letters and digits type their key, in capitals, whatever
    // case or the keypad typed; any other key types the printable character of its text. `now` is
    // in milliseconds on a steady clock. Returns the row to make current and scroll to the top, or
    // -1 when the current row stays.
    int Key(int qtKey, QStringView text, qint64 now, const GridRows& rows, bool sortedByDescription);
    // Home, End and F5 move the list themselves, so the next key starts afresh.
    void Clear();

    const QString& TypedText() const { return typedText_; }
    // Whether the last key was one that types a search (a letter, a digit, a blank or
    // punctuation), whether or not the list could be searched.
    bool LastKeyTyped() const { return lastKeyTyped_; }
    // When the word was started or last found a row; none before the first key.
    std::optional<qint64> TimeStamp() const { return timeStamp_; }

private:
    int Find(const GridRows& rows) const;

    QString typedText_;
    std::optional<qint64> timeStamp_;
    bool lastKeyTyped_ = false;
};

} // namespace zelvora
