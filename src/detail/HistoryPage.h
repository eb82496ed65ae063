#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class QTextBrowser;
class QThread;

namespace zelvora {

class GameTextFiles;

// The History tab: the selected game's history, MAME's information on it and its moves, from
// history.xml or history.dat, mameinfo.dat and command.dat in the given folders; a clone without a
// text of its own shows its parent's. The files are indexed on a thread of their own, again when
// one changes, so a large file never holds the window up; the game is shown once they are ready.
class HistoryPage : public QWidget {
    Q_OBJECT

public:
    explicit HistoryPage(QWidget* parent = nullptr);
    ~HistoryPage() override;

    // The folders the files are looked for in, in order. The files are looked at again at the next
    // Show.
    void SetFolders(const QStringList& folders);
    void Show(const QString& rom, const QString& parent, const QString& title);
    // The indexing has ended and the texts of the game shown last are in the page.
    bool IsReady() const { return shown_; }

    QTextBrowser* text = nullptr;

Q_SIGNALS:
    // A file was refused (too large, not text, malformed): what to tell the user.
    void problem(const QString& text);

private:
    void refresh();
    void showTexts();

    std::shared_ptr<GameTextFiles> files_;
    QStringList folders_;
    bool stale_ = true; // the files were not looked at since the folders were set
    QThread* thread_ = nullptr;
    QString rom_, parent_, title_;
    bool shown_ = false;
};

} // namespace zelvora
