#pragma once

#include <QString>
#include <QVariant>

namespace zelvora {

// The per-user settings: text values addressed by application, section and key, all compared
// without regard to case. Each application name is one INI file under <configDir>/Zelvora/,
// named after the application in lower case; the section is its group and the key its entry,
// both in lower case. So "Zelvora"/"Settings" and "zelvora"/"settings" are one section.

class Settings {
public:
    // configDir is the user's configuration directory ($XDG_CONFIG_HOME); tests give their own.
    explicit Settings(QString configDir);
    // The settings of the user running the program.
    static Settings ForUser();

    // The stored text, or `fallback` as text when the key is absent: 0 gives "0", false "False".
    QString Get(const QString& application, const QString& section, const QString& key, const QVariant& fallback) const;
    void Save(const QString& application, const QString& section, const QString& key, const QString& text);

    QString FilePath(const QString& application) const;

    // The leading whole number of the text: "12abc" is 12, "abc" and "" are 0.
    static long long ToNumber(const QString& text);
    // "1", "True" and any other non-zero number are true; everything else is false.
    static bool ToBool(const QString& text);
    // A default value as the store gives it back when the key is absent.
    static QString ToText(const QVariant& value);

private:
    QString configDir_;
};

} // namespace zelvora
