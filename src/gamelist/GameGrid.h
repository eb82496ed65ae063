#pragma once

#include <QSet>
#include <QTableView>

namespace zelvora {

// The game grid: a table view whose column captions sort it and whose key releases go to the main window's
// handler. Qt's own keyboard search is switched off, as the type-ahead search is ours.
// Only a key whose press the grid received is passed on: the release of the Enter that closed a
// message box lands here too, and must not start a game. A key pressed or released with Alt, Ctrl
// or Meta is not passed on either: it belongs to a menu or a shortcut. Nor is a key that only
// changes others (Shift, the locks): typing "(" needs Shift and must not break the typed word.
// A held key is released once, when it is let go, however often it repeats.
class GameGrid : public QTableView {
    Q_OBJECT

public:
    explicit GameGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void keyboardSearch(const QString&) override {}
    int CurrentRow() const;
    void SetCurrentRow(int row);
    void SetTopRow(int row);
    // The title column takes the room the other shown columns leave, but never less than a few
    // words' width: with more columns than fit, the list scrolls sideways instead.
    void FitTitle();

Q_SIGNALS:
    // `qtKey` is the Qt::Key released, `text` what it typed ("(" for the key Shift made type it).
    void keyReleased(int qtKey, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSet<int> pressed_;
    bool fitting_ = false;
};

} // namespace zelvora
