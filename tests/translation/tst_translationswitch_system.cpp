#include "qttranslationswitch.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

// On a Russian system the "System" entry (stored code "") must bring the Russian texts.
class TstTranslationSwitchSystem : public QObject
{
    Q_OBJECT

private slots:
    void systemLanguageIsRussian();
};

void TstTranslationSwitchSystem::systemLanguageIsRussian()
{
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    sw->setTranslationsDir(QStringLiteral("translations"));
    sw->addTranslation(QStringLiteral("orvo_zovIzid"));
    const QList<QAction *> actions = sw->actions();

    sw->setLanguage(QString());
    QVERIFY(actions.at(0)->isChecked());
    QCOMPARE(sw->language(), QString());
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Системный"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

    actions.at(2)->trigger();
    QCOMPARE(actions.at(0)->text(), QStringLiteral("System"));

    actions.at(0)->trigger();
    QVERIFY(actions.at(0)->isChecked());
    QCOMPARE(actions.at(1)->text(), QStringLiteral("Русский"));
}

int main(int argc, char *argv[])
{
    // The locale is read from the environment when the application starts.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    qputenv("LANG", "ru_RU.UTF-8");
    qputenv("LANGUAGE", "ru");
    QApplication app(argc, argv);
    TstTranslationSwitchSystem tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_translationswitch_system.moc"
