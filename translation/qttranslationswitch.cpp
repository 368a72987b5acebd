#include "qttranslationswitch.h"

#include "translationentry.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>

namespace {

QString resolved(const QString &dir)
{
    return QDir::isRelativePath(dir)
               ? QCoreApplication::applicationDirPath() + QLatin1Char('/') + dir
               : dir;
}

} // namespace

QtTranslationSwitch *QtTranslationSwitch::instance()
{
    static QtTranslationSwitch theSwitch;
    return &theSwitch;
}

QtTranslationSwitch::QtTranslationSwitch(QObject *parent)
    : QObject(parent)
{
    // The flags live in this static library; without an explicit reference the linker drops
    // the bundle and the icons come out null.
    Q_INIT_RESOURCE(qttranslationswitch);

    actionGroup = new QActionGroup(this);
    actionGroup->setExclusive(true);
    connect(actionGroup, &QActionGroup::triggered, this, &QtTranslationSwitch::onLanguageChanged);

    systemAction = new QAction(this);
    systemAction->setCheckable(true);
    systemAction->setData(QString());
    actionGroup->addAction(systemAction);

    russianAction = new QAction(this);
    russianAction->setData(QStringLiteral("ru"));
    russianAction->setIcon(QIcon(QStringLiteral(":/qttrans/lang/ru.png")));
    russianAction->setCheckable(true);
    actionGroup->addAction(russianAction);

    englishAction = new QAction(this);
    englishAction->setData(QStringLiteral("en"));
    englishAction->setIcon(QIcon(QStringLiteral(":/qttrans/lang/en.png")));
    englishAction->setCheckable(true);
    actionGroup->addAction(englishAction);
}

QtTranslationSwitch::~QtTranslationSwitch() = default;

void QtTranslationSwitch::setTranslationsDir(const QString &dir, const QStringList &fallbackDirs)
{
    QStringList fallbacks;
    for (const QString &fallback : fallbackDirs)
        fallbacks << resolved(fallback);
    // An installed program carries no copy of the framework's texts; the system has them.
    entries.push_back(std::make_unique<TranslationEntry>(
        QStringLiteral("qt"), resolved(dir),
        fallbacks + QStringList{QLibraryInfo::location(QLibraryInfo::TranslationsPath)}));
    translationsDir = resolved(dir);
    translationsFallbackDirs = fallbacks;
    addTranslation(QStringLiteral("qttranslationswitch"));
}

void QtTranslationSwitch::addTranslation(const QString &baseName, const QString &dir)
{
    if (dir.isEmpty())
        entries.push_back(std::make_unique<TranslationEntry>(baseName, translationsDir,
                                                             translationsFallbackDirs));
    else
        entries.push_back(std::make_unique<TranslationEntry>(baseName, dir));
}

QList<QAction *> QtTranslationSwitch::actions() const
{
    return actionGroup->actions();
}

QString QtTranslationSwitch::language() const
{
    return currentLanguage;
}

QLocale QtTranslationSwitch::locale() const
{
    return currentLanguage.isEmpty() ? QLocale::system() : QLocale(currentLanguage);
}

void QtTranslationSwitch::setLanguage(QString name)
{
    currentLanguage = name;
    const QLocale loc = locale();

    const QList<QAction *> all = actionGroup->actions();
    for (QAction *act : all) {
        if (act->data().toString() == name)
            act->setChecked(true);
    }

    // Reinstalling in list order puts the entry registered last in front of the lookup, so the
    // program's own catalogue wins over the switch's, and both over the framework's.
    for (const auto &entry : entries) {
        QCoreApplication::removeTranslator(&entry->translator);
        // A missing file leaves the translator empty; it is installed all the same, which also
        // drops whatever the previous language had loaded into it.
        bool loaded = entry->translator.load(loc, entry->baseName, QStringLiteral("_"), entry->dir,
                                             QString());
        for (int i = 0; !loaded && i < entry->fallbackDirs.size(); ++i)
            loaded = entry->translator.load(loc, entry->baseName, QStringLiteral("_"),
                                            entry->fallbackDirs.at(i), QString());
        QCoreApplication::installTranslator(&entry->translator);
    }

    retranslate();
}

void QtTranslationSwitch::onLanguageChanged(QAction *act)
{
    const QString name = act->data().toString();
    if (name != currentLanguage)
        setLanguage(name);
}

void QtTranslationSwitch::retranslate()
{
    systemAction->setText(tr("System"));
    systemAction->setToolTip(tr("Set system language"));
    russianAction->setText(tr("Russian"));
    russianAction->setToolTip(tr("Set russian language"));
    englishAction->setText(tr("English"));
    englishAction->setToolTip(tr("Set english language"));
}
