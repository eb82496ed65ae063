#pragma once

#include "detail/DetailTabs.h"
#include "detail/OptionsPanel.h"
#include "gamelist/GameGrid.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QPushButton>

namespace zelvora::test {

// The main window's controls, found by their names as a user finds them by their captions.
template <typename Control> Control* part(QWidget* window, const char* name) {
    auto* control = window->findChild<Control*>(QLatin1String(name));
    if (!control)
        qFatal("the main window has no %s", name);
    return control;
}

inline GameGrid* grid(QWidget* window) {
    return part<GameGrid>(window, "MSFlexGrid1");
}
inline DetailTabs* tabs(QWidget* window) {
    return part<DetailTabs>(window, "sstDisplay");
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

} // namespace zelvora::test
