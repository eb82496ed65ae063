#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include "store/ProgramSettings.h"

#include <optional>

namespace zelvora {

// Today's MAME's settings as it prints them for "-showconfig": one "name value" line each, a
// value with blanks in it quoted, "#" lines and blank lines between them. Empty for a MAME that
// could not say, or the classic MAME, which has no such answer.
class MameConfig {
public:
    MameConfig() = default;
    // Reads the answer; a line that is not "name value" is passed over, a name given twice keeps
    // its last value, as MAME takes it.
    static MameConfig Parse(QByteArrayView answer);

    bool IsEmpty() const { return values_.isEmpty(); }
    // The setting's value, unquoted; nothing for a setting MAME did not name.
    std::optional<QString> Value(const QString& name) const;
    // The folders of a path setting ("rompath", "artpath", "inipath", ...), in its order: "$HOME"
    // and "~" stand for `home`, and a relative folder is taken from MAME's folder `mamePath`.
    QStringList Folders(const QString& name, const QString& mamePath, const QString& home) const;

private:
    QHash<QString, QString> values_;
};

// The folders MAME names in its answer: "rompath", "artpath", "inipath" and "historypath" (which
// MAMEs before 0.254 do not have).
MameFolders MameFoldersOf(const MameConfig& config, const QString& mamePath, const QString& home);

} // namespace zelvora
