#pragma once

#include <QCheckBox>
#include <QMouseEvent>

#include <functional>

namespace zelvora {

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

} // namespace zelvora
