#include "detail/InformationPage.h"

#include "detail/ScreenshotView.h"
#include "gamelist/ListedGames.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace zelvora {

namespace {

// A family of hundreds of clones (a computer's many models) would bury the rest of the page.
constexpr int MostClonesListed = 20;

// The headings, by InfoArea.
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
    case InfoArea::Controls:
        return QStringLiteral("Controls");
    case InfoArea::Screen:
        return QStringLiteral("Screen");
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

// The width a line of text takes, the longest line of several.
int TextWidth(const QLabel* label) {
    int width = 0;
    for (const QString& line : label->text().split(QLatin1Char('\n')))
        width = std::max(width, label->fontMetrics().horizontalAdvance(line));
    return width;
}

// The rows that the game's facts fill.
bool IsFactRow(const QString& key) {
    using P = InformationPage;
    static const QString keys[] = {P::ControlsRow,   P::ButtonsRow, P::ScreenRow,     P::ScreensRow,
                                   P::ResolutionRow, P::RefreshRow, P::OrientationRow};
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

} // namespace

QString DisplayCaption(const QString& caption) {
    QString text = caption.trimmed();
    while (text.endsWith(QLatin1Char('-')))
        text.chop(1);
    return text.trimmed();
}

QString FactText(const QString& key, const GameFactsRow& facts) {
    const ScreenFacts& screen = facts.screen;
    const ControlFacts& controls = facts.controls;
    if (key == InformationPage::ControlsRow)
        return controls.controls;
    if (key == InformationPage::ButtonsRow)
        return controls.buttons > 0 ? QString::number(controls.buttons) : QString();
    if (key == InformationPage::ScreensRow)
        return screen.screens > 1 ? QString::number(screen.screens) : QString();
    if (key == InformationPage::ResolutionRow)
        return screen.width > 0 && screen.height > 0 ? QStringLiteral("%1 x %2").arg(screen.width).arg(screen.height)
                                                     : QString();
    if (key == InformationPage::RefreshRow) {
        if (screen.refresh <= 0)
            return {};
        // Two decimals at most: 60.606061 shows as 60.61, 60.000000 as 60.
        QString hertz = QString::number(static_cast<double>(screen.refresh), 'f', 2);
        while (hertz.endsWith(QLatin1Char('0')))
            hertz.chop(1);
        if (hertz.endsWith(QLatin1Char('.')))
            hertz.chop(1);
        return hertz + QStringLiteral(" Hz");
    }
    if (screen.type == ScreenType::None)
        return {};
    if (key == InformationPage::OrientationRow)
        return screen.vertical ? QStringLiteral("Vertical") : QStringLiteral("Horizontal");
    if (key == InformationPage::ScreenRow) {
        static const QString types[] = {
            {}, QStringLiteral("Raster"), QStringLiteral("Vector"), QStringLiteral("LCD"), QStringLiteral("SVG")};
        return types[static_cast<int>(screen.type)];
    }
    return {};
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
    Arrange();
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
        {InfoArea::Game, 6, CategoryRow, ColumnCaption(CategoryColumn)},
        {InfoArea::Family, 1, ClonesRow, QStringLiteral("Clones")},
        {InfoArea::Controls, 0, PlayersRow, ColumnCaption(PlayersColumn)},
        {InfoArea::Controls, 1, ControlsRow, QStringLiteral("Controls")},
        {InfoArea::Controls, 2, ButtonsRow, QStringLiteral("Buttons")},
        {InfoArea::Screen, 0, ScreenRow, QStringLiteral("Type")},
        {InfoArea::Screen, 1, ScreensRow, QStringLiteral("Screens")},
        {InfoArea::Screen, 2, ResolutionRow, QStringLiteral("Resolution")},
        {InfoArea::Screen, 3, RefreshRow, QStringLiteral("Refresh")},
        {InfoArea::Screen, 4, OrientationRow, QStringLiteral("Orientation")},
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
    columnPair_ = new QHBoxLayout;
    columnPair_->setSpacing(3 * fontMetrics().averageCharWidth());
    for (QBoxLayout*& side : columns_) {
        // A stretch below the groups rather than an alignment, which would give each group the
        // height of its values on one line however they wrap.
        side = new QVBoxLayout;
        side->addStretch(1);
        columnPair_->addLayout(side, columnPair_->count() == 0 ? 1 : 0);
    }
    column->addLayout(columnPair_);

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
            Section& section = AddSection(content, area);
            // The notes run the page's whole width below the columns.
            section.columned = area != InfoArea::Notes;
            if (!section.columned)
                column->addWidget(section.box);
            row.section = static_cast<int>(sections_.size()) - 1;
        }
        QGridLayout* grid = sections_.back().grid;
        const int line = grid->rowCount();
        if (area == InfoArea::Notes) {
            grid->addWidget(row.value, line, 0, 1, 2);
        } else {
            row.caption = TextLabel(content);
            row.caption->setObjectName(QStringLiteral("caption_") + entry.key);
            row.caption->setText(DisplayCaption(entry.caption));
            grid->addWidget(row.caption, line, 0, Qt::AlignLeft | Qt::AlignTop);
            grid->addWidget(row.value, line, 1);
        }
        rows_.push_back(row);
    }
    column->addStretch(1);
}

InformationPage::Section& InformationPage::AddSection(QWidget* content, InfoArea area) {
    Section section;
    section.box = new QWidget(content);
    section.box->setObjectName(QStringLiteral("section_") + QString::number(static_cast<int>(area)));
    auto* stack = new QVBoxLayout(section.box);
    stack->setContentsMargins(0, 0, 0, 0);
    QLabel* heading = TextLabel(section.box);
    heading->setText(Heading(area));
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    // Room above each heading sets its group apart from the one before.
    heading->setContentsMargins(0, heading->fontMetrics().height() / 2, 0, 0);
    stack->addWidget(heading);
    // Captions and values in a grid rather than a form layout, which does not give a value that
    // wraps the lines it needs once the groups stand side by side.
    section.grid = new QGridLayout;
    section.grid->setColumnStretch(1, 1);
    section.grid->setHorizontalSpacing(heading->fontMetrics().averageCharWidth() * 2);
    stack->addLayout(section.grid);
    // What the emulation manages, the chips and the screen stand beside the game, its family and
    // its controls.
    section.second = area == InfoArea::Emulation || area == InfoArea::Hardware || area == InfoArea::Screen;
    sections_.push_back(section);
    return sections_.back();
}

void InformationPage::Arrange() {
    // Two columns when each has room for values of a few words before they wrap; the second
    // column keeps that room, the first takes the rest.
    const int chars = fontMetrics().averageCharWidth();
    std::vector<std::pair<int, int>> widths(sections_.size()); // the widest caption and value
    for (const Row& row : rows_) {
        if (row.section < 0 || !row.caption || row.value->text().trimmed().isEmpty())
            continue;
        auto& [caption, value] = widths[static_cast<size_t>(row.section)];
        caption = std::max(caption, TextWidth(row.caption));
        value = std::max(value, TextWidth(row.value));
    }
    int needs[2] = {0, 0};
    for (size_t i = 0; i < sections_.size(); ++i) {
        const Section& section = sections_[i];
        if (!section.columned || section.rows == 0)
            continue;
        const int value = std::min(widths[i].second, (section.second ? 16 : 20) * chars);
        needs[section.second] =
            std::max(needs[section.second], widths[i].first + section.grid->horizontalSpacing() + value);
    }
    // Counted as if the scroll bar were there, so that its coming or going never changes the columns.
    const QMargins margins = widget()->layout()->contentsMargins();
    const int room = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width() - margins.left() -
                     margins.right() - 3 * chars;
    const bool two = needs[0] > 0 && needs[1] > 0 && needs[0] + needs[1] <= room;
    for (const Section& section : sections_) {
        if (section.second)
            section.box->setMinimumWidth(two ? needs[1] : 0);
    }
    if (two == twoColumns_ && arranged_)
        return;
    twoColumns_ = two;
    arranged_ = true;
    for (const Section& section : sections_) {
        if (!section.columned)
            continue;
        columns_[0]->removeWidget(section.box);
        columns_[1]->removeWidget(section.box);
        QBoxLayout* side = columns_[two && section.second ? 1 : 0];
        side->insertWidget(side->count() - 1, section.box);
    }
}

void InformationPage::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    Arrange();
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
    Section& section = sections_[static_cast<size_t>(row.section)];
    row.value->setVisible(shown);
    if (row.caption)
        row.caption->setVisible(shown);
    if (shown)
        ++section.rows;
}

void InformationPage::Fill(const GameRecord& game, const Extras& extras) {
    const QString rom = game.Value(Field::Rom).toString();
    const ListedGame* listed = extras.listed && EqualNoCase(extras.listed->rom, rom) ? extras.listed : nullptr;
    const CloneFamily* family = extras.family;
    const std::optional<GameFactsRow> facts =
        factsLookup_ && !rom.isEmpty() ? factsLookup_(rom) : std::optional<GameFactsRow>();
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
        else if (IsFactRow(row.key))
            text = facts ? FactText(row.key, *facts) : QString();
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
        section.box->setVisible(section.rows > 0);
    // A game without a screenshot leaves the title the page's whole width.
    picture->setVisible(!picture->IsEmpty());
    Arrange();
}

} // namespace zelvora
