#pragma once

#include "platform/Progress.h"

#include <QDialog>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zelvora {

// The small window a collection check or the compaction shows while it works: the running job's
// title, "Working" and a progress bar, and a Cancel for a job that can stop half-way. It is modal
// over the window whose job it shows.
class ProgressDialog : public QDialog, public Progress {
    Q_OBJECT

public:
    // Opens over `owner`, the window whose job it shows, and as one of its windows.
    explicit ProgressDialog(QWidget* owner = nullptr);

    void SetText(const QString& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetValue(int value) override;
    void OfferCancel() override;
    // Read by the job, which may run on a thread of its own.
    bool Cancelled() const override { return cancelled_; }
    // Asks the job to stop; it ends at its next step.
    void Cancel();

    QLabel* workingLabel = nullptr;
    QProgressBar* progressBar = nullptr;
    QPushButton* cancelButton = nullptr; // shown only to a job that can stop

    // Closes the window for good. The job behind it decides when: closing it by hand or Escape
    // while the job runs cancels a job that can stop, and does nothing otherwise.
    void Finish();
    void reject() override;

private:
    void FitSize();

    bool closing_ = false;
    std::atomic<bool> cancelled_ = false;
};

} // namespace zelvora
