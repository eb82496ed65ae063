#include "platform/ProgramStyle.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

#include <cmath>

namespace zelvora {

ProgramStyle::ProgramStyle() {
    // Alt is watched for the whole program, whichever widget has the keyboard.
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

bool ProgramStyle::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt)
            SetAltHeld(event->type() == QEvent::KeyPress);
        break;
    }
    case QEvent::ApplicationStateChange:
        // Alt let go in another program's window is never seen here.
        SetAltHeld(false);
        break;
    default:
        break;
    }
    return QProxyStyle::eventFilter(watched, event);
}

void ProgramStyle::SetAltHeld(bool held) {
    if (held == altHeld_)
        return;
    altHeld_ = held;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->update();
    }
}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_UnderlineShortcut)
        return altHeld_ || qobject_cast<const QMenu*>(widget) ? 1 : 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    // The scale from the painter's units to device pixels, however the painting reached the device.
    const qreal ratio = painter->deviceTransform().m11();
    if (element != PE_Frame || ratio == std::floor(ratio)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // One device pixel wide, on the device pixels just inside the frame's rectangle.
    painter->save();
    QPen pen(option->palette.window().color().darker(140).lighter(108), 0);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing, false);
    const qreal half = 0.5 / ratio;
    painter->drawRect(QRectF(option->rect).adjusted(half, half, -half, -half));
    painter->restore();
}

} // namespace zelvora
