#include "meascatalogue.h"
#include "viewtestsupport.h"

#include <QLocale>
#include <QtTest>

Q_DECLARE_METATYPE(QLocale)

class TestMeasCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();
    void typeTable_data();
    void typeTable();
    void valueText_data();
    void valueText();
    void percentages_data();
    void percentages();
    void statusTable_data();
    void statusTable();
    void columnToolTips();
    void russian();
};

void TestMeasCatalogue::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestMeasCatalogue::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestMeasCatalogue::typeTable_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");

    const QString micro = QStringLiteral("\u00B5m");
    const QString degree = QStringLiteral("\u00B0");
    const QString accel = QStringLiteral("m/s\u00B2");
    QTest::newRow("0 empty slot") << 0u << QString() << QString();
    QTest::newRow("1 superscript two") << 1u << "Acceleration" << accel;
    QTest::newRow("2 mm/s unlike the other velocities") << 2u << "Velocity"
                                                        << "mm/s";
    QTest::newRow("3 composed micro unit") << 3u << "Diplacement" << micro;
    QTest::newRow("9 degree sign") << 9u << "Phase of Velocity" << degree;
    QTest::newRow("10 amplitude like 6 and 8") << 10u << "Amplitude of Prox Displacement" << micro;
    QTest::newRow("11 phase like 7 and 9") << 11u << "Phase of Prox Displacement" << degree;
    QTest::newRow("16 last code") << 16u << "Max Average Deviation" << micro;
    QTest::newRow("17 unknown") << 17u << QString() << QString();
    QTest::newRow("65535 unknown") << 65535u << QString() << QString();
}

void TestMeasCatalogue::typeTable()
{
    QFETCH(uint, code);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QCOMPARE(MeasCatalogue::typeName(code), name);
    QCOMPARE(MeasCatalogue::typeUnit(code), unit);
}

void TestMeasCatalogue::valueText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("text");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("english") << english << 0.5 << 1u << QStringLiteral("0.500000 m/s\u00B2");
    QTest::newRow("decimal comma") << german << 0.5 << 1u << QStringLiteral("0,500000 m/s\u00B2");
    QTest::newRow("group separator") << english << 12345.5 << 5u << "12,345.500000 rpm";
    QTest::newRow("group separator, decimal comma")
        << german << 12345.5 << 5u << "12.345,500000 rpm";
    QTest::newRow("negative phase")
        << english << -90.25 << 7u << QStringLiteral("-90.250000 \u00B0");
    QTest::newRow("micro unit") << english << 3.0 << 16u << QStringLiteral("3.000000 \u00B5m");
    QTest::newRow("rounded to six decimals") << english << 1.23456789 << 4u << "1.234568 V";
    QTest::newRow("unknown code, bare number") << english << 0.5 << 17u << "0.500000";
}

void TestMeasCatalogue::valueText()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(uint, code);
    QFETCH(QString, text);
    QLocale::setDefault(locale);
    QCOMPARE(MeasCatalogue::valueText(value, code), text);
}

void TestMeasCatalogue::percentages_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("baseline");
    QTest::addColumn<int>("fullScale");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("delta");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("half scale") << english << 32768 << 16384 << 65535 << "50.00"
                                << "25.00";
    QTest::newRow("decimal comma") << german << 32768 << 16384 << 65535 << "50,00"
                                   << "25,00";
    QTest::newRow("below baseline") << english << 100 << 300 << 1000 << "10.00"
                                    << "-20.00";
    QTest::newRow("over full scale") << english << 65535 << 0 << 50000 << "131.07"
                                     << "131.07";
    QTest::newRow("zero full scale shows nothing") << english << 100 << 50 << 0 << ""
                                                   << "";
}

void TestMeasCatalogue::percentages()
{
    QFETCH(QLocale, locale);
    QFETCH(int, value);
    QFETCH(int, baseline);
    QFETCH(int, fullScale);
    QFETCH(QString, percent);
    QFETCH(QString, delta);
    QLocale::setDefault(locale);
    QCOMPARE(MeasCatalogue::percentText(value, quint16(fullScale)), percent);
    QCOMPARE(MeasCatalogue::deltaText(value, baseline, quint16(fullScale)), delta);
}

void TestMeasCatalogue::statusTable_data()
{
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("lamp"); // -1: no lamp state, the indicator is left as it is

    QTest::newRow("valid") << 0u << "Valid data" << 0;
    QTest::newRow("short circuit") << 1u << "Short circuit" << 1;
    QTest::newRow("open circuit") << 2u << "Open circuit" << 1;
    QTest::newRow("no valid data") << 0xFFFFu << "No valid data" << 2;
    QTest::newRow("unlisted 3") << 3u << QString() << -1;
    QTest::newRow("unlisted 0xFFFE") << 0xFFFEu << QString() << -1;
    QTest::newRow("unlisted above 16 bits") << 0x1FFFFu << QString() << -1;
}

void TestMeasCatalogue::statusTable()
{
    QFETCH(uint, status);
    QFETCH(QString, caption);
    QFETCH(int, lamp);
    QCOMPARE(MeasCatalogue::statusCaption(status), caption);
    const auto state = MeasCatalogue::statusLampState(status);
    QCOMPARE(state.has_value(), lamp >= 0);
    if (state)
        QCOMPARE(*state, lamp);
}

void TestMeasCatalogue::columnToolTips()
{
    QCOMPARE(MeasCatalogue::conditionLegend(),
             QStringLiteral("  Green - False\n  Red - True\n  Off - Z"));
    QCOMPARE(MeasCatalogue::columnToolTip(MeasCatalogue::FailureColumn),
             QStringLiteral("Failure:\n  Green - False\n  Red - True\n  Off - Z"));
    QVERIFY(MeasCatalogue::columnToolTip(MeasCatalogue::AlertColumn).startsWith("Alert:\n  "));
    QVERIFY(MeasCatalogue::columnToolTip(MeasCatalogue::DangerColumn).startsWith("Danger:\n  "));
    QCOMPARE(MeasCatalogue::columnToolTip(MeasCatalogue::NumberColumn),
             QStringLiteral("Channel number/Measurement number"));
    QCOMPARE(MeasCatalogue::columnToolTip(MeasCatalogue::TimeColumn), QString());
    QCOMPARE(MeasCatalogue::columnToolTip(MeasCatalogue::FsColumn),
             QStringLiteral("Full-scale percent"));
    QCOMPARE(MeasCatalogue::columnCaption(MeasCatalogue::NumberColumn), QStringLiteral("\u2116"));
    QCOMPARE(MeasCatalogue::columnCaption(MeasCatalogue::FsColumn), QStringLiteral("FS %"));
}

void TestMeasCatalogue::russian()
{
    ViewTest::Russian russian;
    QVERIFY(russian.loaded);

    QCOMPARE(MeasCatalogue::typeUnit(3), QStringLiteral("мкм"));
    QCOMPARE(MeasCatalogue::typeUnit(1), QStringLiteral("м/с²"));
    QCOMPARE(MeasCatalogue::typeUnit(2), QStringLiteral("мм/с"));
    QCOMPARE(MeasCatalogue::typeUnit(5), QStringLiteral("об/мин"));
    QCOMPARE(MeasCatalogue::typeUnit(12), QStringLiteral("В"));
    QCOMPARE(MeasCatalogue::typeUnit(9), QStringLiteral("°"));
    QCOMPARE(MeasCatalogue::valueText(2.5, 16), QStringLiteral("2.500000 мкм"));
    QCOMPARE(MeasCatalogue::statusCaption(0xFFFF), QStringLiteral("Нет достоверных данных"));
    // Every type has its own Russian name.
    for (uint code = 1; code <= 16; ++code) {
        const QString name = MeasCatalogue::typeName(code);
        QVERIFY2(name.contains(QRegularExpression(QStringLiteral("[а-яА-Я]"))), qPrintable(name));
    }
    // The condition titles stay English; the legend is translated.
    QCOMPARE(MeasCatalogue::columnToolTip(MeasCatalogue::DangerColumn),
             QStringLiteral("Danger:\n  Зелёный - ложь\n  Красный - истина\n  Не горит - Z"));
    QCOMPARE(MeasCatalogue::columnCaption(MeasCatalogue::TimeColumn), QStringLiteral("Время"));
}

QTEST_MAIN(TestMeasCatalogue)
#include "tst_meascatalogue.moc"
