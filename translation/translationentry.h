#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

// One translation file the language switch reloads on every language change. The translator
// is installed into the application by the switch and removes itself when the entry dies.
class TranslationEntry
{
public:
    TranslationEntry(const QString &baseName, const QString &dir,
                     const QStringList &fallbackDirs = QStringList());
    ~TranslationEntry();

    TranslationEntry(const TranslationEntry &) = delete;
    TranslationEntry &operator=(const TranslationEntry &) = delete;

    QTranslator translator;
    const QString baseName;
    // Fixed at registration; later changes of the switch's default directory do not move it.
    const QString dir;
    // Searched in order when dir holds no file for the language.
    const QStringList fallbackDirs;
};
