#include "translationentry.h"

TranslationEntry::TranslationEntry(const QString &baseName, const QString &dir,
                                   const QStringList &fallbackDirs)
    : baseName(baseName)
    , dir(dir)
    , fallbackDirs(fallbackDirs)
{}

TranslationEntry::~TranslationEntry() = default;
