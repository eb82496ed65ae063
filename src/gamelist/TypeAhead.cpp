#include "gamelist/TypeAhead.h"

#include "platform/TextCompare.h"

#include <Qt>

namespace zelvora {

namespace {

// Letters and digits search by their keys, whatever case they were typed in and whether the
// keypad typed them.
bool TypesItsKey(int qtKey) {
    return (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z);
}

// The character a key types into the search, or a null one. Titles hold blanks, hyphens,
// apostrophes, dots and brackets, which are typed as the characters the keys typed.
QChar TypedCharacter(int qtKey, QStringView text) {
    if (TypesItsKey(qtKey))
        return QChar(qtKey);
    if (text.size() == 1 && text[0].isPrint())
        return text[0];
    return {};
}

// The keys that move about, edit or call a function; they type nothing.
bool EndsTheWord(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return true;
    switch (qtKey) {
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
    case Qt::Key_Insert:
    case Qt::Key_Pause:
    case Qt::Key_Print:
    case Qt::Key_Clear:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

int HalfStep(int span) {
    const int step = span / 2;
    return step == 0 ? 1 : step;
}

} // namespace

bool TypeAhead::Concerns(int qtKey, QStringView text) {
    return !TypedCharacter(qtKey, text).isNull() || EndsTheWord(qtKey);
}

int TypeAhead::Key(int qtKey, QStringView text, qint64 now, const GridRows& rows, bool sortedByDescription) {
    const QChar c = TypedCharacter(qtKey, text);
    if (!timeStamp_ || now > *timeStamp_ + PauseMs) {
        timeStamp_ = now;
        typedText_.clear();
    }

    lastKeyTyped_ = !c.isNull();
    if (!lastKeyTyped_) {
        // An arrow key between two letters breaks the word: the next letter starts a new one.
        typedText_.clear();
        return -1;
    }
    typedText_ += c;
    if (!sortedByDescription)
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
