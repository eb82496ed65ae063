#pragma once

#include <QCheckBox>
#include <QMouseEvent>
#include <QSlider>

#include <functional>

namespace zelvora {

// Controls that report what the mouse did to them, as the option and filter windows need.

// A check box that reports a change of its state made by a mouse click, and not one made with
// the keyboard. The box toggles inside its mouse release handler, so comparing the state around
// that handler tells a click from the space bar, and the report sees the new state.
class MouseUpCheckBox final : public QCheckBox {
public:
    MouseUpCheckBox(const QString& text, QWidget* parent, std::function<void()> mouseUp)
        : QCheckBox(text, parent), mouseUp_(std::move(mouseUp)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        const Qt::CheckState before = checkState();
        QCheckBox::mouseReleaseEvent(event);
        if (checkState() != before)
            mouseUp_();
    }

private:
    std::function<void()> mouseUp_;
};

// A slider that reports the release of the mouse, wherever on it the press began (a click on its
// groove as well as a drag of its handle).
class MouseUpSlider final : public QSlider {
public:
    MouseUpSlider(QWidget* parent, std::function<void()> mouseUp)
        : QSlider(Qt::Horizontal, parent), mouseUp_(std::move(mouseUp)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QSlider::mouseReleaseEvent(event);
        mouseUp_();
    }

private:
    std::function<void()> mouseUp_;
};

} // namespace zelvora
