#include "qttranslationswitch.h"

#include "translationentry.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>

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

void QtTranslationSwitch::setTranslationsDir(const QString &dir)
{
    QString resolved = dir;
    if (QDir::isRelativePath(resolved))
        resolved = QCoreApplication::applicationDirPath() + QLatin1Char('/') + resolved;
    addTranslation(QStringLiteral("qt"), resolved);
    translationsDir = resolved;
    addTranslation(QStringLiteral("qttranslationswitch"));
}

void QtTranslationSwitch::addTranslation(const QString &baseName, const QString &dir)
{
    entries.push_back(
        std::make_unique<TranslationEntry>(baseName, dir.isEmpty() ? translationsDir : dir));
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
        entry->translator.load(loc, entry->baseName, QStringLiteral("_"), entry->dir, QString());
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
