#pragma once

#include <QMainWindow>

namespace zelvora {

struct Variables;

// The main window; the program lives as long as it does.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(Variables& vars, QWidget* parent = nullptr);

private:
    Variables& vars_;
};

} // namespace zelvora
