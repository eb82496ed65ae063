#include "platform/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace zelvora {

namespace {

// One placement at the next show, then gone: a later show keeps wherever the user moved it.
class CentreOnShow : public QObject {
public:
    CentreOnShow(QWidget* window, const QWidget* owner) : QObject(window), owner_(owner), hadOwner_(owner) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            window->removeEventFilter(this);
            CentreOver(window, hadOwner_ ? owner_.data() : nullptr);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<const QWidget> owner_;
    bool hadOwner_;
};

// Keeps `start`..`start + length` inside `low`..`high` where it fits, else at `low`.
int Within(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

void CentreOver(QWidget* window, const QRect& area) {
    QScreen* screen = nullptr;
    if (!area.isEmpty())
        screen = QGuiApplication::screenAt(area.center());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect over = area.isEmpty() ? available : area;
    // A window not shown yet has no frame; its own size stands for it.
    const QSize size = window->isVisible() ? window->frameGeometry().size() : window->size();
    const QPoint centre = over.center();
    const int left = Within(centre.x() - size.width() / 2, size.width(), available.left(), available.right());
    const int top = Within(centre.y() - size.height() / 2, size.height(), available.top(), available.bottom());
    window->move(left, top);
}

void CentreOver(QWidget* window, const QWidget* owner) {
    CentreOver(window, owner ? owner->window()->frameGeometry() : QRect());
}

void CentreWhenShown(QWidget* window, const QWidget* owner) {
    new CentreOnShow(window, owner);
}

void OpenOver(QWidget* window, QWidget* owner) {
    if (owner)
        window->setParent(owner->window(), window->windowFlags() | Qt::Window);
    CentreWhenShown(window, owner);
}

} // namespace zelvora
