#pragma once

#include <QString>

#include <stdexcept>

namespace zelvora {

// The one error the catalogue store raises. It carries the engine's own text, which is what
// the user is shown before the program ends.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

    const QString& text() const { return text_; }

private:
    QString text_;
};

} // namespace zelvora
