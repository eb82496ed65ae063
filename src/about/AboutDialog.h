#pragma once

#include "about/AboutAnimation.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;
class QTimer;

namespace zelvora {

// The About box, modal over the main window; however it closes (OK or Enter, the title bar,
// Escape) the main window is focused again. Every opening starts the animation afresh.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // The box is one of mainWindow's windows and opens centred over it. It names the program's version and, when known,
    // MAME's ("0.251").
    explicit AboutDialog(QWidget* mainWindow, const QString& mameVersion = {});

    void finish();
    void nextFrame();

    QPushButton* okButton = nullptr;
    QLabel* thanksLabel = nullptr;
    QLabel* versionLabel = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Image5 = nullptr;
    QTimer* animationTimer = nullptr;
    const AboutAnimation& Animation() const { return animation_; }

    void done(int result) override;

private:
    void start();

    QPointer<QWidget> mainWindow_;
    AboutAnimation animation_;
};

} // namespace zelvora
