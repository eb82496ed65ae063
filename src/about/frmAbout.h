#pragma once

#include "about/AboutAnimation.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace zelvora {

// The About box. While it is open the main window takes no input; however it closes (OK, the
// title bar, Escape) the main window is enabled again and focused. Every opening starts the
// animation afresh.
class frmAbout : public QWidget {
    Q_OBJECT

public:
    // The box is one of mainWindow's windows and opens centred over it; it disables mainWindow and
    // stays usable itself. It names the program's version and, when known, MAME's ("0.251").
    explicit frmAbout(QWidget* mainWindow, const QString& mameVersion = {});
    ~frmAbout() override;

    void Command1_Click();
    void Timer1_Timer();

    QPushButton* Command1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Image5 = nullptr;
    QTimer* Timer1 = nullptr;
    const AboutAnimation& Animation() const { return animation_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void EnableMainWindow();

    QPointer<QWidget> mainWindow_;
    AboutAnimation animation_;
};

} // namespace zelvora
