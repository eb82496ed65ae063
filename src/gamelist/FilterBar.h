#pragma once

#include "gamelist/GameSearch.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QToolButton;

namespace zelvora {

// The row of filters above the game list, each a click away: type, status, available ROM sets,
// favourites, and the category and number of players where a file tells them.
class FilterBar : public QWidget {
    Q_OBJECT

public:
    explicit FilterBar(QWidget* parent = nullptr);

    ListFilters Filters() const;
    // Shows `filters` without announcing a change.
    void SetFilters(const ListFilters& filters);
    // The categories and numbers of players the games have, and whether any game has a type; a
    // choice is offered only where there are some. A filter on a choice no game has any more is
    // kept and still offered.
    void SetChoices(const QStringList& categories, const QList<int>& players, bool types);

Q_SIGNALS:
    void changed();

private:
    QComboBox* typeBox = nullptr;
    QComboBox* statusBox = nullptr;
    QToolButton* availableButton = nullptr;
    QToolButton* favouritesButton = nullptr;
    QComboBox* categoryBox = nullptr;
    QComboBox* playersBox = nullptr;
    bool hasTypes_ = false;
    QGridLayout* grid_ = nullptr;
    static constexpr int MaxCategoryChoices = 2000;
};

} // namespace zelvora
