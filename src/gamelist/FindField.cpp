#include "gamelist/FindField.h"

#include <QKeyEvent>

namespace zelvora {

FindField::FindField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("findField"));
    setPlaceholderText(QStringLiteral("Find a game (Ctrl+F)"));
    setClearButtonEnabled(true);
    setToolTip(QStringLiteral("Lists only the games whose title holds this text; Escape lists every game again"));
}

void FindField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        clear();
        Q_EMIT done();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        Q_EMIT done();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

} // namespace zelvora
