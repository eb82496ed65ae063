#include "mame/MameConfig.h"

#include <QDir>

namespace zelvora {

MameConfig MameConfig::Parse(QByteArrayView answer) {
    MameConfig config;
    for (qsizetype at = 0; at < answer.size();) {
        qsizetype end = answer.indexOf('\n', at);
        if (end < 0)
            end = answer.size();
        const QByteArrayView line = answer.sliced(at, end - at).trimmed();
        at = end + 1;
        if (line.isEmpty() || line.front() == '#')
            continue;
        qsizetype blank = 0;
        while (blank < line.size() && line.at(blank) != ' ' && line.at(blank) != '\t')
            ++blank;
        const QString name = QString::fromUtf8(line.first(blank));
        QString value = QString::fromUtf8(line.sliced(blank).trimmed());
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.sliced(1, value.size() - 2);
        config.values_.insert(name, value);
    }
    return config;
}

std::optional<QString> MameConfig::Value(const QString& name) const {
    const auto found = values_.constFind(name);
    if (found == values_.cend())
        return std::nullopt;
    return *found;
}

QStringList MameConfig::Folders(const QString& name, const QString& mamePath, const QString& home) const {
    QStringList folders;
    for (QString folder : Value(name).value_or(QString()).split(u';', Qt::SkipEmptyParts)) {
        folder = folder.trimmed();
        if (folder == QLatin1String("$HOME") || folder.startsWith(QLatin1String("$HOME/")))
            folder.replace(0, 5, home);
        else if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
            folder.replace(0, 1, home);
        if (!folder.isEmpty())
            folders << QDir::cleanPath(QDir(mamePath).absoluteFilePath(folder));
    }
    return folders;
}

MameFolders MameFoldersOf(const MameConfig& config, const QString& mamePath, const QString& home) {
    const auto folders = [&](const char* name) { return config.Folders(QLatin1String(name), mamePath, home); };
    return {folders("rompath"), folders("artpath"), folders("inipath"), folders("historypath")};
}

} // namespace zelvora
