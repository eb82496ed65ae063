#pragma once

#include "platform/Progress.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace zelvora {

// The small window a collection check or the compaction shows while it works: the running job's
// title, "Working" and a progress bar.
class frmStatus : public QWidget, public Progress {
    Q_OBJECT

public:
    // Opens over `owner`, the window whose job it shows, and as one of its windows.
    explicit frmStatus(QWidget* owner = nullptr);

    void SetText(const QString& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetValue(int value) override;
    void LetEventsRun() override;

    QLabel* Label1 = nullptr;
    QProgressBar* pbProgress = nullptr;

    // Closes the window for good. The job behind it decides when: closing it by hand does
    // nothing while the job runs.
    void Finish();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool closing_ = false;
};

} // namespace zelvora
