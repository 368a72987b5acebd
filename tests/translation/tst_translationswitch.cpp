#include "qttranslationswitch.h"
#include "translationentry.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QtTest>

class TestTranslationSwitch : public QObject
{
    Q_OBJECT

    QtTranslationSwitch *const languages = QtTranslationSwitch::instance();
    // Each language-change event on the application stands for a translator removed or
    // installed, which every window answers by retranslating and rebuilding.
    int languageChanges = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        languageChanges += watched == qApp && event->type() == QEvent::LanguageChange;
        return false;
    }

    QAction *actionFor(const QString &code) const
    {
        for (QAction *act : languages->actions()) {
            if (act->data().toString() == code)
                return act;
        }
        return nullptr;
    }

    QString checkedCode() const
    {
        const QAction *act = languages->actions().first()->actionGroup()->checkedAction();
        return act ? act->data().toString() : QStringLiteral("<none>");
    }

private slots:
    // Runs first: the switch is set up here the way the program sets it up.
    void storedRussianLoadsTheFilesBesideTheProgram()
    {
        QStringList codes;
        for (const QAction *act : languages->actions())
            codes << act->data().toString();
        QCOMPARE(codes, QStringList({"", "ru", "en"}));

        // The working directory must not matter: the program may be started from anywhere.
        QTemporaryDir elsewhere;
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        languages->setTranslationsDir(QStringLiteral("translations"));
        QVERIFY(QDir::setCurrent(oldCwd));
        languages->addTranslation(QStringLiteral("orvo_zovIzid"));

        languages->setLanguage(QStringLiteral("ru"));
        QCOMPARE(checkedCode(), QStringLiteral("ru"));
        // The framework's texts come from the system: nothing of the kind lies beside us.
        const QString dir = QCoreApplication::applicationDirPath() + "/translations/";
        const QString system = QLibraryInfo::location(QLibraryInfo::TranslationsPath) + "/";
        QStringList loaded;
        for (const auto &entry : languages->translationEntries())
            loaded << QFileInfo(entry->translator.filePath()).absoluteFilePath();
        QCOMPARE(loaded, QStringList({system + "qt_ru.qm", dir + "qttranslationswitch_ru.qm",
                                      dir + "orvo_zovIzid_ru.qm"}));
    }

    void switching_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("russian");
        QTest::newRow("Russian after System") << ""
                                              << "ru"
                                              << "ru" << true;
        QTest::newRow("English after Russian") << "ru"
                                               << "en"
                                               << "en" << false;
        // This test runs with a C locale, so the system language shows the source texts.
        QTest::newRow("System after Russian") << "ru"
                                              << ""
                                              << "" << false;
        // Swahili: a code no action has and no catalogue, not even the system's framework one.
        QTest::newRow("unknown code after English") << "en"
                                                    << "sw"
                                                    << "en" << false;
        // The check stays on Russian, but the reload for Swahili empties the Russian translators.
        QTest::newRow("unknown code after Russian") << "ru"
                                                    << "sw"
                                                    << "ru" << false;
    }
    void switching()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, checked);
        QFETCH(bool, russian);
        languages->setLanguage(from);
        languages->setLanguage(to);
        QCOMPARE(languages->language(), to);
        QCOMPARE(checkedCode(), checked);
        // One text from each catalogue: the switch's, the framework's and the program's.
        const QStringList texts{actionFor("en")->text(),
                                QCoreApplication::translate("QPlatformTheme", "Cancel"),
                                QCoreApplication::translate("MainWindow", "&Language")};
        QCOMPARE(texts, russian ? QStringList({"Английский", "Отмена", "&Язык"})
                                : QStringList({"English", "Cancel", "&Language"}));
    }

    void pickingTheCheckedEntryReloadsNothing()
    {
        languages->setLanguage(QStringLiteral("ru"));
        qApp->installEventFilter(this);
        actionFor("ru")->trigger();
        QCOMPARE(languageChanges, 0);
        QCOMPARE(checkedCode(), QStringLiteral("ru"));
        actionFor("en")->trigger();
        QVERIFY(languageChanges > 0);
        qApp->removeEventFilter(this);
    }

    void lastRegisteredCatalogueWins()
    {
        languages->addTranslation(QStringLiteral("tst_override"),
                                  QStringLiteral(ORVO_TEST_OVERRIDE_DIR));
        languages->setLanguage(QStringLiteral("ru"));
        QCOMPARE(actionFor("en")->text(), QStringLiteral("Английский (из каталога программы)"));
        QCOMPARE(actionFor("ru")->text(), QStringLiteral("Русский"));
    }

    void flagImages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("side");
        // Registered by the switch itself; missing when the linker dropped its bundle.
        QTest::newRow("flag en") << ":/qttrans/lang/en.png" << 256;
        QTest::newRow("flag ru") << ":/qttrans/lang/ru.png" << 256;
    }
    void flagImages()
    {
        QFETCH(QString, path);
        QFETCH(int, side);
        QCOMPARE(QImage(path).size(), QSize(side, side));
    }
};

int main(int argc, char *argv[])
{
    // "System" follows the environment; pin it to a locale without translations.
    qputenv("LC_ALL", "C");
    qunsetenv("LANGUAGE");
    QApplication app(argc, argv);
    TestTranslationSwitch tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_translationswitch.moc"
