#include "detail/InformationPage.h"

#include "detail/ScreenshotView.h"
#include "gamelist/ListedGames.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvora {

namespace {

// A family of hundreds of clones (a computer's many models) would bury the rest of the page.
constexpr int MostClonesListed = 20;

// The headings, by InfoArea; the title and the notes' own have none of the first two.
QString Heading(InfoArea area) {
    switch (area) {
    case InfoArea::Game:
        return QStringLiteral("Game");
    case InfoArea::Family:
        return QStringLiteral("Parent and Clones");
    case InfoArea::Emulation:
        return QStringLiteral("Emulation");
    case InfoArea::Hardware:
        return QStringLiteral("Hardware");
    case InfoArea::Notes:
        return QStringLiteral("Notes");
    default:
        return {};
    }
}

QLabel* TextLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Catalogue text is shown as it stands, never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString Titled(const GameTitle& game) {
    return game.title == game.rom ? game.rom : QStringLiteral("%1 [%2]").arg(game.title, game.rom);
}

} // namespace

QString DisplayCaption(const QString& caption) {
    QString text = caption.trimmed();
    while (text.endsWith(QLatin1Char('-')))
        text.chop(1);
    return text.trimmed();
}

QString ClonesText(const CloneFamily& family, const QString& shownRom, int most) {
    QStringList lines;
    int others = 0;
    for (const GameTitle& clone : family.clones) {
        if (EqualNoCase(clone.rom, shownRom))
            continue;
        if (lines.size() < most)
            lines << Titled(clone);
        else
            ++others;
    }
    if (others > 0)
        lines << QStringLiteral("and %1 more").arg(others);
    return lines.join(QLatin1Char('\n'));
}

InformationPage::InformationPage(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("InformationPage"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    AddRows(content);
    setWidget(content);
    // After setWidget, which fills the page's background with the window's colour: the page looks
    // like the tab it stands on.
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
}

void InformationPage::AddRows(QWidget* content) {
    struct Entry {
        InfoArea area;
        int place;
        QString key;
        QString caption;
    };
    std::vector<Entry> entries = {
        {InfoArea::Game, 4, TypeRow, ColumnCaption(TypeColumn)},
        {InfoArea::Game, 5, PlayersRow, ColumnCaption(PlayersColumn)},
        {InfoArea::Game, 6, CategoryRow, ColumnCaption(CategoryColumn)},
        {InfoArea::Family, 1, ClonesRow, QStringLiteral("Clones")},
    };
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.info.area != InfoArea::None)
            entries.push_back({field.info.area, field.info.place, field.name, QLatin1String(field.caption)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::pair(a.area, a.place) < std::pair(b.area, b.place);
    });

    auto* column = new QVBoxLayout(content);
    auto* header = new QHBoxLayout;
    picture = new ScreenshotView(QSize(128, 96), QSize(128, 96), content);
    picture->setObjectName(QStringLiteral("infoPicture"));
    picture->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    header->addWidget(picture, 0, Qt::AlignTop);
    column->addLayout(header);
    form_ = new QFormLayout;
    form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form_->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addLayout(form_);
    column->addStretch(1);

    InfoArea area = InfoArea::None;
    for (const Entry& entry : entries) {
        Row row{entry.key, static_cast<int>(sections_.size()) - 1};
        row.value = TextLabel(content);
        row.value->setObjectName(QStringLiteral("info_") + entry.key);
        row.value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (entry.area == InfoArea::Title) {
            QFont font = row.value->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.2);
            row.value->setFont(font);
            header->addWidget(row.value, 1);
            rows_.push_back(row);
            continue;
        }
        if (entry.area != area) {
            area = entry.area;
            Section section{TextLabel(content)};
            section.heading->setText(Heading(area));
            section.heading->setObjectName(QStringLiteral("heading_") + QString::number(static_cast<int>(area)));
            QFont font = section.heading->font();
            font.setBold(true);
            section.heading->setFont(font);
            // Room above each heading sets its group apart from the one before.
            section.heading->setContentsMargins(0, section.heading->fontMetrics().height() / 2, 0, 0);
            form_->addRow(section.heading);
            sections_.push_back(section);
            row.section = static_cast<int>(sections_.size()) - 1;
        }
        if (area == InfoArea::Notes) {
            form_->addRow(row.value);
        } else {
            row.caption = TextLabel(content);
            row.caption->setObjectName(QStringLiteral("caption_") + entry.key);
            row.caption->setText(DisplayCaption(entry.caption));
            form_->addRow(row.caption, row.value);
        }
        rows_.push_back(row);
    }
}

const InformationPage::Row* InformationPage::Find(const QString& key) const {
    const auto it = std::find_if(rows_.begin(), rows_.end(), [&](const Row& row) { return row.key == key; });
    return it == rows_.end() ? nullptr : &*it;
}

QLabel* InformationPage::Value(const QString& key) const {
    const Row* row = Find(key);
    return row ? row->value : nullptr;
}

QLabel* InformationPage::Caption(const QString& key) const {
    const Row* row = Find(key);
    return row ? row->caption : nullptr;
}

void InformationPage::Show(const Row& row, const QString& text) {
    row.value->setText(text);
    const bool shown = !text.trimmed().isEmpty();
    if (row.section < 0) {
        row.value->setVisible(shown);
        return;
    }
    form_->setRowVisible(row.value, shown);
    if (shown)
        ++sections_[static_cast<size_t>(row.section)].rows;
}

void InformationPage::Fill(const GameRecord& game, const Extras& extras) {
    const QString rom = game.Value(Field::Rom).toString();
    const ListedGame* listed = extras.listed && EqualNoCase(extras.listed->rom, rom) ? extras.listed : nullptr;
    const CloneFamily* family = extras.family;
    if (!extras.hiScoreCaption.isEmpty())
        Caption(Field::HiScore)->setText(DisplayCaption(extras.hiScoreCaption));
    for (Section& section : sections_)
        section.rows = 0;
    for (const Row& row : rows_) {
        QString text;
        if (row.key == TypeRow)
            text = listed ? TypeText(listed->type) : QString();
        else if (row.key == PlayersRow)
            text = listed ? listed->players : QString();
        else if (row.key == CategoryRow)
            text = listed ? listed->category : QString();
        else if (row.key == ClonesRow)
            text = family ? ClonesText(*family, rom, MostClonesListed) : QString();
        else
            text = game.Value(row.key).toString();
        if (row.key == Field::Clone && family && !text.isEmpty() && EqualNoCase(text, family->parent.rom))
            text = Titled(family->parent);
        // Notes keep MAME's carriage returns between lines.
        if (row.key == Field::Notes)
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        // MAME's "(1)" shows as the words it stands for.
        if (row.key == Field::Sound && text.endsWith(QLatin1String("(1)")))
            text = text.chopped(3) + QStringLiteral(" Samples");
        Show(row, text);
    }
    for (const Section& section : sections_)
        form_->setRowVisible(section.heading, section.rows > 0);
}

} // namespace zelvora
