#include "qttranslationswitch.h"
#include "translationentry.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Counts the language-change notifications the application object receives; each one stands
// for a translator removed or (non-empty) installed.
class LanguageChangeCounter : public QObject
{
public:
    using QObject::QObject;
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == qApp && event->type() == QEvent::LanguageChange)
            ++count;
        return false;
    }
};

const QStringList sourceTexts{"System", "Russian", "English"};
const QStringList russianTexts{"Системный", "Русский", "Английский"};

QString checkedCode()
{
    for (QAction *act : QtTranslationSwitch::instance()->actions()) {
        if (act->isChecked())
            return act->data().toString();
    }
    return QStringLiteral("<none>");
}

QStringList actionTexts()
{
    QStringList texts;
    for (QAction *act : QtTranslationSwitch::instance()->actions())
        texts << act->text();
    return texts;
}

QAction *actionFor(const QString &code)
{
    for (QAction *act : QtTranslationSwitch::instance()->actions()) {
        if (act->data().toString() == code)
            return act;
    }
    return nullptr;
}

QString programTranslations()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
}

} // namespace

class TstTranslationSwitch : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: the switch is created by this test's first instance() call.
    void beforeFirstLanguage();
    void relativeDirResolvesAgainstProgramFolder();
    void switching_data();
    void switching();
    void pickingCheckedEntryReloadsNothing();
    void russianComesFromProgramFolder();
    void lastRegisteredCatalogueWins();
};

void TstTranslationSwitch::beforeFirstLanguage()
{
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    QCOMPARE(QtTranslationSwitch::instance(), sw);

    const QList<QAction *> actions = sw->actions();
    QCOMPARE(actions.size(), 3);
    const QStringList codes{QString(), "ru", "en"};
    for (int i = 0; i < 3; ++i) {
        QAction *act = actions.at(i);
        QCOMPARE(act->data().toString(), codes.at(i));
        QVERIFY(act->isCheckable());
        QVERIFY(!act->isChecked());
        QVERIFY(act->text().isEmpty());
        QVERIFY(act->actionGroup());
        QVERIFY(act->actionGroup()->isExclusive());
        QCOMPARE(act->actionGroup(), actions.at(0)->actionGroup());
    }
    QVERIFY(actions.at(0)->icon().isNull());
    // A null icon here means the flag bundle was dropped by the linker.
    for (int i : {1, 2}) {
        QVERIFY(!actions.at(i)->icon().isNull());
        QVERIFY(!actions.at(i)->icon().pixmap(16, 16).isNull());
    }
    QCOMPARE(sw->language(), QString());
    QVERIFY(sw->translationEntries().empty());
}

void TstTranslationSwitch::relativeDirResolvesAgainstProgramFolder()
{
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    // The working directory must not matter: the program may be started from anywhere.
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    sw->setTranslationsDir(QStringLiteral("translations"));
    QVERIFY(QDir::setCurrent(oldCwd));
    sw->addTranslation(QStringLiteral("orvo_zovIzid"));

    const auto &entries = sw->translationEntries();
    QCOMPARE(int(entries.size()), 3);
    const QStringList names{"qt", "qttranslationswitch", "orvo_zovIzid"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(entries.at(i)->baseName, names.at(i));
        QCOMPARE(entries.at(i)->dir, programTranslations());
    }
    QVERIFY2(QFileInfo::exists(programTranslations() + "/qt_ru.qm"),
             "the build must place qt_ru.qm beside the test programs");
}

void TstTranslationSwitch::switching_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("russian");

    QTest::newRow("stored ru at start-up") << ""
                                           << "ru" << false << "ru" << true;
    QTest::newRow("English picked after Russian") << "ru"
                                                  << "en" << true << "en" << false;
    QTest::newRow("Russian picked after English") << "en"
                                                  << "ru" << true << "ru" << true;
    // This test runs with a C locale, so the system language shows the source texts.
    QTest::newRow("System picked after Russian") << "ru"
                                                 << "" << true << "" << false;
    QTest::newRow("unknown code after English") << "en"
                                                << "de" << false << "en" << false;
    // The check stays on Russian, but the reload for German empties the Russian translators.
    QTest::newRow("unknown code after Russian") << "ru"
                                                << "de" << false << "ru" << false;
}

void TstTranslationSwitch::switching()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, viaMenu);
    QFETCH(QString, checked);
    QFETCH(bool, russian);

    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    sw->setLanguage(from);
    if (viaMenu)
        actionFor(to)->trigger();
    else
        sw->setLanguage(to);

    QCOMPARE(sw->language(), to);
    QCOMPARE(checkedCode(), checked);
    QCOMPARE(actionTexts(), russian ? russianTexts : sourceTexts);
    QCOMPARE(actionFor("ru")->toolTip(), russian ? QStringLiteral("Установить русский язык")
                                                 : QStringLiteral("Set russian language"));
    // The framework's own texts switch with the program's.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
             russian ? QStringLiteral("Отмена") : QStringLiteral("Cancel"));
}

void TstTranslationSwitch::pickingCheckedEntryReloadsNothing()
{
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    sw->setLanguage(QStringLiteral("ru"));

    LanguageChangeCounter counter;
    qApp->installEventFilter(&counter);
    actionFor("ru")->trigger();
    qApp->removeEventFilter(&counter);

    QCOMPARE(counter.count, 0);
    QCOMPARE(checkedCode(), QStringLiteral("ru"));
    QCOMPARE(actionTexts(), russianTexts);

    // A real change does notify the windows.
    qApp->installEventFilter(&counter);
    actionFor("en")->trigger();
    qApp->removeEventFilter(&counter);
    QVERIFY(counter.count > 0);
}

void TstTranslationSwitch::russianComesFromProgramFolder()
{
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    sw->setLanguage(QStringLiteral("ru"));

    const auto &entries = sw->translationEntries();
    QCOMPARE(QFileInfo(entries.at(0)->translator.filePath()).absoluteFilePath(),
             QFileInfo(programTranslations() + "/qt_ru.qm").absoluteFilePath());
    QCOMPARE(QFileInfo(entries.at(1)->translator.filePath()).absoluteFilePath(),
             QFileInfo(programTranslations() + "/qttranslationswitch_ru.qm").absoluteFilePath());
    QVERIFY(!entries.at(0)->translator.isEmpty());
    QVERIFY(!entries.at(1)->translator.isEmpty());
    // The program's own catalogue is built elsewhere; if it is there it must be the one used.
    const QString own = programTranslations() + "/orvo_zovIzid_ru.qm";
    if (QFileInfo::exists(own))
        QCOMPARE(QFileInfo(entries.at(2)->translator.filePath()).absoluteFilePath(),
                 QFileInfo(own).absoluteFilePath());
    else
        QVERIFY(entries.at(2)->translator.isEmpty());

    // English has no files: the reload must not leave the Russian ones loaded.
    sw->setLanguage(QStringLiteral("en"));
    for (const auto &entry : entries)
        QVERIFY2(entry->translator.isEmpty(), qPrintable(entry->baseName));
}

void TstTranslationSwitch::lastRegisteredCatalogueWins()
{
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    sw->addTranslation(QStringLiteral("tst_override"), QStringLiteral(ORVO_TEST_OVERRIDE_DIR));
    sw->setLanguage(QStringLiteral("ru"));

    QCOMPARE(actionFor("en")->text(), QStringLiteral("Английский (из каталога программы)"));
    QCOMPARE(actionFor("ru")->text(), QStringLiteral("Русский"));
}

int main(int argc, char *argv[])
{
    // "System" follows the environment; pin it to a locale without translations.
    qputenv("LC_ALL", "C");
    qputenv("LANG", "C");
    qunsetenv("LANGUAGE");
    qunsetenv("LC_MESSAGES");
    QApplication app(argc, argv);
    TstTranslationSwitch tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_translationswitch.moc"
