#include "qttranslationswitch.h"
#include "translationentry.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Without any translation files every choice shows the source texts, and the menu still
// follows what the user picked.
class TstTranslationSwitchMissing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void choice_data();
    void choice();

private:
    QTemporaryDir emptyDir;
};

void TstTranslationSwitchMissing::initTestCase()
{
    QVERIFY(emptyDir.isValid());
    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    sw->setTranslationsDir(emptyDir.path());
    sw->addTranslation(QStringLiteral("orvo_zovIzid"));
    // An absolute folder is taken as it is.
    for (const auto &entry : sw->translationEntries())
        QCOMPARE(entry->dir, emptyDir.path());
}

void TstTranslationSwitchMissing::choice_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("checkedIndex");

    QTest::newRow("Russian") << "ru" << 1;
    QTest::newRow("English") << "en" << 2;
    QTest::newRow("System") << "" << 0;
    QTest::newRow("Russian again") << "ru" << 1;
}

void TstTranslationSwitchMissing::choice()
{
    QFETCH(QString, code);
    QFETCH(int, checkedIndex);

    QtTranslationSwitch *sw = QtTranslationSwitch::instance();
    const QList<QAction *> actions = sw->actions();
    actions.at(checkedIndex)->trigger();

    QCOMPARE(sw->language(), code);
    for (int i = 0; i < actions.size(); ++i)
        QCOMPARE(actions.at(i)->isChecked(), i == checkedIndex);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("System"));
    QCOMPARE(actions.at(1)->text(), QStringLiteral("Russian"));
    QCOMPARE(actions.at(2)->toolTip(), QStringLiteral("Set english language"));
    for (const auto &entry : sw->translationEntries())
        QVERIFY(entry->translator.isEmpty());
}

int main(int argc, char *argv[])
{
    // Even a Russian system must not find anything here.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    qputenv("LANG", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    TstTranslationSwitchMissing tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_translationswitch_missing.moc"
