#include "qttranslationswitch.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

// On a Russian system "System" means Russian, but only where the files are found.
class TestTranslationSwitchRussianSystem : public QObject
{
    Q_OBJECT

    QTemporaryDir emptyDir;

private slots:
    void initTestCase()
    {
        QVERIFY(emptyDir.isValid());
        QtTranslationSwitch::instance()->setTranslationsDir(emptyDir.path());
    }

    // Runs first, while the only registered folder holds no translations.
    void missingFilesLeaveSourceTexts_data()
    {
        QTest::addColumn<int>("picked");
        QTest::newRow("Russian") << 1;
        QTest::newRow("English") << 2;
        QTest::newRow("System") << 0;
        QTest::newRow("Russian again") << 1;
    }
    void missingFilesLeaveSourceTexts()
    {
        QFETCH(int, picked);
        const QList<QAction *> actions = QtTranslationSwitch::instance()->actions();
        actions.at(picked)->trigger();
        QCOMPARE(QtTranslationSwitch::instance()->language(),
                 actions.at(picked)->data().toString());
        for (int i = 0; i < actions.size(); ++i)
            QCOMPARE(actions.at(i)->isChecked(), i == picked);
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Russian"));
        // The framework's texts still come from the system's own catalogues.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 picked == 2 ? QStringLiteral("Cancel") : QStringLiteral("Отмена"));
    }

    // As installed: nothing beside the program, the catalogues in a folder further away.
    void fallbackFolderIsSearched()
    {
        QTemporaryDir besideProgram;
        QVERIFY(besideProgram.isValid());
        QtTranslationSwitch *languages = QtTranslationSwitch::instance();
        languages->setTranslationsDir(besideProgram.path(), {QStringLiteral("translations")});
        languages->setLanguage(QStringLiteral("ru"));
        QCOMPARE(languages->actions().at(0)->text(), QStringLiteral("Системный"));
        languages->setLanguage(QStringLiteral("en"));
        QCOMPARE(languages->actions().at(0)->text(), QStringLiteral("System"));
    }

    void systemLanguageIsRussian()
    {
        QtTranslationSwitch *languages = QtTranslationSwitch::instance();
        languages->setTranslationsDir(QStringLiteral("translations"));
        const QList<QAction *> actions = languages->actions();
        languages->setLanguage(QString());
        QVERIFY(actions.at(0)->isChecked());
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Системный"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

        actions.at(2)->trigger();
        QCOMPARE(actions.at(0)->text(), QStringLiteral("System"));
        actions.at(0)->trigger();
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Русский"));
    }
};

int main(int argc, char *argv[])
{
    // The locale is read from the environment when the application starts.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    qputenv("LANGUAGE", "ru");
    QApplication app(argc, argv);
    TestTranslationSwitchRussianSystem tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_translationswitch_russian.moc"
