#pragma once

#include <QString>
#include <QVariant>
#include <QVariantHash>

#include <optional>

namespace zelvora {

// One game's options: the values of its record's option fields (OptionFields()), by field name,
// as the catalogue holds them; a field that holds nothing, or is not in the value, reads as null.
// The Options tab edits it, the catalogue stores it in one write, and MAME's command line is made
// from it.
class GameOptions {
public:
    GameOptions() = default;
    explicit GameOptions(QVariantHash values) : values_(std::move(values)) {}

    QVariant Value(const QString& field) const { return values_.value(field); }
    void SetValue(const QString& field, const QVariant& value) { values_.insert(field, value); }
    const QVariantHash& Values() const { return values_; }

    // "Use Default Options" is ticked: the game starts with the default set's options. Only 1
    // counts, as for every check box; True (-1) of older catalogues does not.
    bool UsesDefault() const;

    bool operator==(const GameOptions&) const = default;

private:
    QVariantHash values_;
};

// The options a game starts with: the default set's when it uses them, its own when it does not
// or when the catalogue holds no default set.
const GameOptions& StartingOptions(const GameOptions& game, const std::optional<GameOptions>& defaults);

// What a game leaving the default set is given, its own copy of that set: the default set's values
// with Default cleared, and no playback choice, which is the game's own and stays.
GameOptions OwnCopyOfDefaults(const GameOptions& defaults);

} // namespace zelvora
