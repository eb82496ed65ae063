#pragma once

#include <QLineEdit>

namespace zelvora {

// The field above the game list that narrows the list, as the user types, to the games whose
// description holds the text. Escape empties it; Escape, Enter and the Down key hand the keyboard
// back to the list.
class FindField : public QLineEdit {
    Q_OBJECT

public:
    explicit FindField(QWidget* parent = nullptr);

Q_SIGNALS:
    void done();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace zelvora
