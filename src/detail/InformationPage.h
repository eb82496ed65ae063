#pragma once

#include <QHash>
#include <QScrollArea>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QBoxLayout;
class QGridLayout;
class QLabel;

namespace zelvora {

enum class InfoArea;
struct CloneFamily;
struct GameFactsRow;
struct GameRecord;
struct ListedGame;
class ScreenshotView;

// The Information tab: the selected game's picture and title, then its fields under small
// headings, each a caption and a value that wraps. A field with nothing in it is hidden with its
// caption, and a heading with all its fields. The groups stand in two columns where the page is
// wide enough for both, in one where it is not; the page scrolls down when it must, never sideways.
class InformationPage : public QScrollArea {
    Q_OBJECT

public:
    // The rows that come from elsewhere than the game's record, by the keys Value and Caption take
    // besides the catalogue's field names.
    static inline const QString TypeRow = QStringLiteral("type");
    static inline const QString PlayersRow = QStringLiteral("players");
    static inline const QString CategoryRow = QStringLiteral("category");
    static inline const QString ClonesRow = QStringLiteral("clones");
    static inline const QString ControlsRow = QStringLiteral("controls");
    static inline const QString ButtonsRow = QStringLiteral("buttons");
    static inline const QString ScreenRow = QStringLiteral("screen");
    static inline const QString ScreensRow = QStringLiteral("screens");
    static inline const QString ResolutionRow = QStringLiteral("resolution");
    static inline const QString RefreshRow = QStringLiteral("refresh");
    static inline const QString OrientationRow = QStringLiteral("orientation");

    // A game's facts from the catalogue, by its set name: its screen and controls, which the list
    // does not hold.
    using FactsLookup = std::function<std::optional<GameFactsRow>(const QString& rom)>;

    // What the page shows beside the record, each optional.
    struct Extras {
        // The game as the list holds it: its type, players and category. Ignored when it is
        // another game's.
        const ListedGame* listed = nullptr;
        // The family of the game's parent, or of the game when it is a parent.
        const CloneFamily* family = nullptr;
        // What the installed MAME calls the Hi Score field.
        QString hiScoreCaption;
    };

    explicit InformationPage(QWidget* parent = nullptr);

    void Fill(const GameRecord& game, const Extras& extras);
    void SetFactsLookup(FactsLookup lookup) { factsLookup_ = std::move(lookup); }

    QLabel* Value(const QString& key) const;
    QLabel* Caption(const QString& key) const;

    ScreenshotView* picture = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row {
        QString key;
        int section = 0;
        QLabel* caption = nullptr; // null for the title and the notes, which go without
        QLabel* value = nullptr;
    };
    struct Section {
        QWidget* box = nullptr; // the heading above the section's captions and values
        QGridLayout* grid = nullptr;
        bool columned = true; // in one of the columns; the notes run below both
        bool second = false;  // in the second column when there are two
        int rows = 0;         // rows shown in it
    };

    void AddRows(QWidget* content);
    Section& AddSection(QWidget* content, InfoArea area);
    // Puts the groups in two columns or one, whichever the page's width allows.
    void Arrange();
    void Show(const Row& row, const QString& text);
    const Row* Find(const QString& key) const;

    QBoxLayout* columnPair_ = nullptr;
    QBoxLayout* columns_[2] = {};
    bool twoColumns_ = false;
    bool arranged_ = false;
    std::vector<Row> rows_;
    std::vector<Section> sections_;
    FactsLookup factsLookup_;
};

// A caption as the page shows it: the registry's words without the "-" that once ended them.
QString DisplayCaption(const QString& caption);
// The lines that name a family's clones, `shownRom` left out, at most `most` of them and then
// a line that counts the others.
QString ClonesText(const CloneFamily& family, const QString& shownRom, int most);
// What the page shows in one of the rows of the screen and the controls; empty when the facts do
// not tell it.
QString FactText(const QString& key, const GameFactsRow& facts);

} // namespace zelvora
