#pragma once

#include "detail/DetailTabs.h"
#include "detail/OptionsPanel.h"
#include "gamelist/GameGrid.h"
#include "shell/MainWindow.h"

#include <QApplication>

// The controls' own classes, for what the tests do with the controls they find.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTest>

namespace zelvora::test {

// The main window's controls, found by their names as a user finds them by their captions.
template <typename Control> Control* part(QWidget* window, const char* name) {
    auto* control = window->findChild<Control*>(QLatin1String(name));
    if (!control)
        qFatal("the main window has no %s", name);
    return control;
}

// Whether `window` takes the user's input: enabled, and under no modal window.
inline bool TakesInput(const QWidget* window) {
    const QWidget* modal = QApplication::activeModalWidget();
    return window->isEnabled() && (!modal || modal == window);
}

inline GameGrid* grid(QWidget* window) {
    return part<GameGrid>(window, "gameList");
}
inline DetailTabs* tabs(QWidget* window) {
    return part<DetailTabs>(window, "detailTabs");
}
inline OptionsPanel* options(QWidget* window) {
    return part<OptionsPanel>(window, "OptionsPanel");
}
inline QPushButton* button(QWidget* window, const char* name) {
    return part<QPushButton>(window, name);
}
inline QAction* action(QWidget* window, const char* name) {
    return part<QAction>(window, name);
}

// Clicks a check box or radio button where a person would: in its own click area, not the
// middle of its stretched widget.
inline void clickBox(QAbstractButton* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const auto area = qobject_cast<QRadioButton*>(box) ? QStyle::SE_RadioButtonClickRect : QStyle::SE_CheckBoxClickRect;
    QTest::mouseClick(box, Qt::LeftButton, {}, box->style()->subElementRect(area, &option, box).center());
}

} // namespace zelvora::test
