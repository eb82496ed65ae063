#include "store/Settings.h"

#include <QSettings>
#include <QStandardPaths>

#include <limits>

namespace zelvora {

Settings::Settings(QString configDir) : configDir_(std::move(configDir)) {}

Settings Settings::ForUser() {
    return Settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString Settings::FilePath(const QString& application) const {
    return configDir_ + QStringLiteral("/Zelvora/") + application.toLower() + QStringLiteral(".ini");
}

QString Settings::Get(const QString& application, const QString& section, const QString& key,
                      const QVariant& fallback) const {
    QSettings store(FilePath(application), QSettings::IniFormat);
    const QVariant value = store.value(section.toLower() + QLatin1Char('/') + key.toLower());
    if (!value.isValid())
        return ToText(fallback);
    return value.toString();
}

void Settings::Save(const QString& application, const QString& section, const QString& key, const QString& text) {
    QSettings store(FilePath(application), QSettings::IniFormat);
    store.setValue(section.toLower() + QLatin1Char('/') + key.toLower(), text);
    store.sync();
}

QString Settings::ToText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

long long Settings::ToNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long number = 0;
    constexpr long long limit = std::numeric_limits<long long>::max() / 10;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        if (number >= limit)
            break;
        number = number * 10 + (text[i].unicode() - '0');
    }
    return negative ? -number : number;
}

bool Settings::ToBool(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    return ToNumber(trimmed) != 0;
}

} // namespace zelvora
