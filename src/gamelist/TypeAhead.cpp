#include "gamelist/TypeAhead.h"

#include "gamelist/KeyCodes.h"
#include "platform/TextCompare.h"

namespace zelvora {

namespace {

QChar CharacterOf(int keyCode) {
    return keyCode >= 0 && keyCode <= 0xFFFF ? QChar(static_cast<char16_t>(keyCode))
                                             : QChar(QChar::ReplacementCharacter);
}

// Only keys between '0' and 'Z' in the list's own order search, so with letters folded to lower
// case this also lets through the punctuation between the digits and the letters. The function
// keys' codes read as 'p'..'{' and have to be kept out by number.
bool Searches(int keyCode, QChar c) {
    if (keyCode >= KeyCode::F1 && keyCode <= KeyCode::F12)
        return false;
    const QStringView typed(&c, 1);
    return CompareNoCase(typed, u"0") >= 0 && CompareNoCase(typed, u"Z") <= 0;
}

int HalfStep(int span) {
    const int step = span / 2;
    return step == 0 ? 1 : step;
}

// Letters and digits search by their key codes, whatever case they were typed in.
bool HasOwnCode(int keyCode) {
    return (keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z');
}

} // namespace

int TypeAhead::Key(int keyCode, double now, const GridRows& rows, bool sortedByDescription, QChar typed) {
    // Any other key that types a character types that character: titles hold blanks, hyphens,
    // apostrophes, dots and brackets, whose key codes say nothing of them ("-" is 189).
    const bool typesCharacter = !HasOwnCode(keyCode) && !typed.isNull() && typed.isPrint();
    const QChar c = typesCharacter ? typed : CharacterOf(keyCode);

    // A clock earlier than the time stamp has gone past midnight; carrying on would glue keys
    // typed a day apart together.
    if (now > timeStamp_ + 1 || now < timeStamp_) {
        timeStamp_ = now;
        typedText_ = QString(c);
    } else {
        // Keys that do not search are kept too: an arrow key between two letters breaks the word.
        typedText_ += c;
    }

    lastKeyTyped_ = typesCharacter || Searches(keyCode, c);
    if (!lastKeyTyped_ || !sortedByDescription)
        return -1;

    // The whole typed text first; failing that, the key just pressed on its own, so that a typing
    // slip costs one letter rather than the whole word.
    for (int pass = 0; pass < 2; ++pass) {
        const int row = Find(rows);
        if (row >= 0) {
            timeStamp_ = now;
            return row;
        }
        typedText_ = QString(c);
    }
    return -1;
}

void TypeAhead::Clear() {
    typedText_.clear();
    lastKeyTyped_ = false;
}

int TypeAhead::Find(const GridRows& rows) const {
    const int count = rows.RowCount();
    int low = 1;
    int high = count - 1;
    int mid = high / 2;
    while (high >= low) {
        if (mid < 0 || mid >= count)
            return -1;
        const QString text = rows.Description(mid);
        if (StartsWithNoCase(text, typedText_)) {
            // The bisection lands on any row of the run that starts with the text; the list shows
            // the run from its first row.
            while (mid - 1 >= 0 && StartsWithNoCase(rows.Description(mid - 1), typedText_))
                --mid;
            return mid;
        }
        if (CompareNoCase(typedText_, text) >= 0) {
            low = mid;
            mid = low + HalfStep(high - low);
            ++low;
        } else {
            high = mid;
            mid = high - HalfStep(high - low);
            --high;
        }
    }
    return -1;
}

} // namespace zelvora
