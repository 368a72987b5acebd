#include "translationentry.h"

TranslationEntry::TranslationEntry(const QString &baseName, const QString &dir)
    : baseName(baseName)
    , dir(dir)
{}

TranslationEntry::~TranslationEntry() = default;
