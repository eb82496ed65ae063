#pragma once

#include "mame/MameConfig.h"
#include "store/GameOptions.h"

#include <QVariantHash>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QThread;

namespace zelvora {

class Mame;

// The part of the Options tab that today's MAME reads: a drop-down for each of TodaysOptions and
// two boxes, "No Rotation" and "Enable Debugger". Each drop-down's first entry leaves MAME at its own
// setting, which it reads from MAME's "-showconfig" answer: asked once, beside the event loop, the
// first time the page is shown for a MAME.
class TodaysOptionsPage : public QWidget {
    Q_OBJECT

public:
    // `mamePath` gives MAME's folder as it is now.
    TodaysOptionsPage(std::function<QString()> mamePath, QWidget* parent = nullptr);
    ~TodaysOptionsPage() override;

    // The MAME the page speaks of: the options last loaded are shown as it reads them, and its
    // defaults are asked the next time the page is shown.
    void SetMame(std::shared_ptr<const Mame> mame);
    // Shows a game's options, their values read as the MAME reads them.
    void Load(const GameOptions& options);
    // The option values the controls stand for, to be written over those of the other controls.
    QVariantHash Values() const;
    // What MAME's own settings are; an empty answer shows the neutral text.
    void ShowDefaults(const MameConfig& config);

    std::vector<QComboBox*> choices; // in the order of TodaysOptions
    QCheckBox* noRotation = nullptr;
    QCheckBox* debugger = nullptr;

Q_SIGNALS:
    // The user changed a control.
    void edited();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void askMame();
    void endAsking();

    std::function<QString()> mamePath_;
    std::shared_ptr<const Mame> mame_;
    GameOptions loaded_;
    const Mame* asked_ = nullptr; // the MAME whose defaults were asked for
    QThread* asking_ = nullptr;
    std::shared_ptr<std::atomic_bool> stop_;
};

} // namespace zelvora
