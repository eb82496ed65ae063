#include "shell/WhatsNewWindow.h"

#include "platform/UserDialogs.h"
#include "platform/WindowPlacement.h"

#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvora {

namespace {

enum ReportColumn { GameColumn, RomColumn };
constexpr int RomRole = Qt::UserRole;
constexpr int KindRole = Qt::UserRole + 1;

constexpr ChangeKind Kinds[] = {ChangeKind::Added, ChangeKind::Removed, ChangeKind::Renamed, ChangeKind::Status,
                                ChangeKind::Title};

// The window's size in characters and lines of its font, so that it reads alike at any scale.
constexpr int WidthInCharacters = 90;
constexpr int HeightInLines = 30;

} // namespace

WhatsNewWindow::WhatsNewWindow(QWidget* owner, UserDialogs& dialogs, std::vector<GameChange> changes,
                               std::function<QString(const QString&)> selectGame)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), dialogs_(dialogs),
      changes_(std::move(changes)), selectGame_(std::move(selectGame)) {
    setObjectName(QStringLiteral("WhatsNewWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("What's New"));

    changesTree = new QTreeWidget(this);
    changesTree->setObjectName(QStringLiteral("changesTree"));
    changesTree->setHeaderLabels({QStringLiteral("Game"), QStringLiteral("Set"), QStringLiteral("Change")});
    changesTree->setUniformRowHeights(true);
    changesTree->setRootIsDecorated(true);
    changesTree->setAllColumnsShowFocus(true);
    const int character = fontMetrics().averageCharWidth();
    changesTree->header()->resizeSection(GameColumn, 44 * character);
    changesTree->header()->resizeSection(RomColumn, 14 * character);
    changesTree->installEventFilter(this);
    selectionText = new QLabel(this);
    selectionText->setObjectName(QStringLiteral("selectionText"));
    selectionText->setTextFormat(Qt::PlainText);
    selectionText->setWordWrap(true);
    textButton = new QPushButton(QStringLiteral("Save as &Text..."), this);
    textButton->setObjectName(QStringLiteral("textButton"));
    csvButton = new QPushButton(QStringLiteral("Save as &CSV..."), this);
    csvButton->setObjectName(QStringLiteral("csvButton"));
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setDefault(true);

    QList<QTreeWidgetItem*> groups;
    for (const ChangeKind kind : Kinds) {
        QList<QTreeWidgetItem*> lines;
        for (const GameChange& change : changes_) {
            if (change.kind != kind)
                continue;
            auto* line = new QTreeWidgetItem({change.title, change.rom, ChangeDetail(change)});
            line->setData(GameColumn, RomRole, change.rom);
            line->setData(GameColumn, KindRole, static_cast<int>(kind));
            lines << line;
        }
        if (lines.isEmpty())
            continue;
        auto* group = new QTreeWidgetItem({QStringLiteral("%1 (%2)").arg(ChangeCaption(kind)).arg(lines.size())});
        group->setFirstColumnSpanned(true);
        group->addChildren(lines);
        groups << group;
    }
    changesTree->addTopLevelItems(groups);
    for (QTreeWidgetItem* group : groups)
        group->setExpanded(true);
    if (!groups.isEmpty())
        changesTree->setCurrentItem(groups.first()->child(0));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(textButton);
    buttons->addWidget(csvButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(changesTree, 1);
    layout->addWidget(selectionText);
    layout->addLayout(buttons);
    resize(QSize(WidthInCharacters * character, HeightInLines * fontMetrics().lineSpacing())
               .expandedTo(minimumSizeHint()));
    OpenOver(this, owner);

    connect(changesTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { gameChosen(item); });
    connect(textButton, &QPushButton::clicked, this, [this] { saveAs(false); });
    connect(csvButton, &QPushButton::clicked, this, [this] { saveAs(true); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    changesTree->setFocus();
}

bool WhatsNewWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a game selects it; the window stays, as after a click. On a group it closes the window.
    if (watched == changesTree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        QTreeWidgetItem* item = changesTree->currentItem();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && item && item->parent()) {
            gameChosen(item);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void WhatsNewWindow::gameChosen(QTreeWidgetItem* item) {
    if (!item || !item->parent())
        return;
    const QString rom = item->data(GameColumn, RomRole).toString();
    if (item->data(GameColumn, KindRole).toInt() == static_cast<int>(ChangeKind::Removed)) {
        selectionText->setText(QStringLiteral("%1 is no longer in the catalogue.").arg(item->text(GameColumn)));
        return;
    }
    selectionText->setText(selectGame_ ? selectGame_(rom) : QString());
}

void WhatsNewWindow::saveAs(bool csv) {
    const QString filter = csv ? QStringLiteral("Save as CSV|*.csv") : QStringLiteral("Save as Text|*.txt");
    const QString proposed =
        QDir::homePath() + (csv ? QStringLiteral("/WhatsNew.csv") : QStringLiteral("/WhatsNew.txt"));
    const QString path = dialogs_.SaveFile(this, filter, proposed);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray text = (csv ? ChangesCsv(changes_) : ChangesText(changes_)).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        dialogs_.Warn(this, QStringLiteral("Zelvora"),
                      QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
}

} // namespace zelvora
