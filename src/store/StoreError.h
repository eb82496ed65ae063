#pragma once

#include <QString>

#include <stdexcept>

namespace zelvora {

// The one error the catalogue store raises. It carries the engine's own text, which is what
// the user is shown before the program ends.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

    const QString& Text() const { return text_; }

private:
    QString text_;
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
