#pragma once

#include "platform/Progress.h"

#include <QStatusBar>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zelvora {

// The main window's status bar: what the last long job found, the type-ahead's typed text while
// it is being typed, the filters in force and how many of the catalogue's games are listed.
class MainStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget* parent = nullptr);

    void SetCounts(int listed, int total);
    void SetFilters(const QString& text);
    // The outcome of the last check, compaction or update; it stays until the next one.
    void SetResult(const QString& text);
    // Shown over the result for as long as typing goes on.
    void ShowTyped(const QString& text);
    void ClearTyped();

    QString Counts() const;
    QString Filters() const;
    QString Result() const;
    QString Typed() const { return currentMessage(); }

    // The progress of work that runs while the list stays in use (the audit of the ROM sets): its
    // text in place of the result, a bar and a Cancel button beside it, shown from BeginJob to
    // EndJob.
    Progress& Job() { return job_; }
    void BeginJob();
    void EndJob();
    // What the Cancel button does.
    void CancelJob();

    QProgressBar* jobBar = nullptr;
    QPushButton* jobCancelButton = nullptr;

private:
    class JobProgress : public Progress {
    public:
        explicit JobProgress(MainStatusBar& bar) : bar_(bar) {}
        void SetText(const QString& text) override;
        void SetRange(int minimum, int maximum) override;
        void SetValue(int value) override;
        void OfferCancel() override;
        // Read by the work, on its own thread.
        bool Cancelled() const override { return cancelled; }

        std::atomic<bool> cancelled = false;

    private:
        MainStatusBar& bar_;
    };

    JobProgress job_{*this};
    QLabel* result_ = nullptr;
    QLabel* filters_ = nullptr;
    QLabel* counts_ = nullptr;
};

} // namespace zelvora
