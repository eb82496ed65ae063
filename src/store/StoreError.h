#pragma once

#include <QString>

#include <stdexcept>

namespace zelvora {

// The one error the catalogue store raises. It carries the engine's own text, which is what
// the user is shown before the program ends.
class StoreError : public std::runtime_error {
public:
    // A full database or disk is told apart: a write that failed for want of room leaves the
    // catalogue as it was and the program may go on.
    enum class Kind { Failure, Full };

    explicit StoreError(const QString& text, Kind kind = Kind::Failure)
        : std::runtime_error(text.toStdString()), text_(text), kind_(kind) {}

    const QString& Text() const { return text_; }
    bool IsFull() const { return kind_ == Kind::Full; }

private:
    QString text_;
    Kind kind_;
};

// The boundary every window puts around a step that works on the catalogue: an engine error
// never crosses Qt's event loop; its text goes to `fatal`, which shows it and ends the program.
// False when the step met one.
template <typename Step, typename Fatal> bool CatchStoreError(Step&& step, Fatal&& fatal) {
    try {
        step();
        return true;
    } catch (const StoreError& error) {
        fatal(error.Text());
        return false;
    }
}

} // namespace zelvora
