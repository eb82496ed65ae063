#pragma once

#include <QStatusBar>

class QLabel;

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

private:
    QLabel* result_ = nullptr;
    QLabel* filters_ = nullptr;
    QLabel* counts_ = nullptr;
};

} // namespace zelvora
