#include "eventsstateview.h"
#include "viewtestsupport.h"

#include <QHeaderView>
#include <QtTest>

using namespace ViewTest;

namespace {
QTableWidget *tableOf(EventsStateView &view)
{
    return view.findChild<QTableWidget *>(QStringLiteral("eventsTable"));
}

void setName(t_orvo_relay_settings &relay, const QByteArray &bytes)
{
    std::memset(relay.name, 0, sizeof relay.name);
    std::memcpy(relay.name, bytes.constData(), size_t(qMin(bytes.size(), int(sizeof relay.name))));
}

// Relays 2 and 5 in use; the others carry modes that do not count.
QSharedPointer<t_orvo_settings> relays2and5()
{
    return relaySettings({0, 3, 1, 2, 3, 0, 1, 2});
}
} // namespace

class TestEventsStateView : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void rowsForRelaysInUse();
    void nullSettingsLeavesEmptyTable();
    void lamps_data();
    void lamps();
    void names_data();
    void names();
    void languageChange();
};

void TestEventsStateView::form()
{
    EventsStateView view;
    QTableWidget *table = tableOf(view);
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 3);
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(table->verticalHeader()->isHidden());
    QVERIFY(table->horizontalHeader()->stretchLastSection());
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("\u2116"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("State"));
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Name"));
    QCOMPARE(view.title(), QStringLiteral("Events"));
}

void TestEventsStateView::rowsForRelaysInUse()
{
    EventsStateView view;
    view.setSettings(relays2and5());
    QTableWidget *table = tableOf(view);
    QVERIFY(table->isVisibleTo(&view));
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(textAt(table, 0, 0), QStringLiteral("2"));
    QCOMPARE(textAt(table, 1, 0), QStringLiteral("5"));
    QCOMPARE(lampAt(table, 0, 1), QStringLiteral("off"));
    QCOMPARE(lampAt(table, 1, 1), QStringLiteral("off"));

    view.setSettings(relaySettings({3}));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(textAt(table, 0, 0), QStringLiteral("1"));
}

void TestEventsStateView::nullSettingsLeavesEmptyTable()
{
    EventsStateView view;
    view.setSettings(relays2and5());
    view.setSettings(nullptr);
    QCOMPARE(tableOf(view)->rowCount(), 0);
    view.updateRelayState(0xFFFFFFFFu);
}

void TestEventsStateView::lamps_data()
{
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("relay2");
    QTest::addColumn<QString>("relay5");

    QTest::newRow("0x12: both active") << 0x12u << "red"
                                       << "red";
    QTest::newRow("relay 2 only") << 0x02u << "red"
                                  << "off";
    QTest::newRow("relay 5 only") << 0x10u << "off"
                                  << "red";
    QTest::newRow("other relays") << 0xEDu << "off"
                                  << "off";
    QTest::newRow("bits 8 to 31 have no effect") << 0xFFFFFF00u << "off"
                                                 << "off";
    QTest::newRow("zero") << 0u << "off"
                          << "off";
}

void TestEventsStateView::lamps()
{
    QFETCH(uint, status);
    QFETCH(QString, relay2);
    QFETCH(QString, relay5);

    EventsStateView view;
    view.setSettings(relays2and5());
    QTableWidget *table = tableOf(view);
    view.updateRelayState(0x12u);
    view.updateRelayState(status);
    QCOMPARE(lampAt(table, 0, 1), relay2);
    QCOMPARE(lampAt(table, 1, 1), relay5);
}

void TestEventsStateView::names_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");

    QTest::newRow("plain name") << QByteArray("Pump 1 trip") << "Pump 1 trip";
    QTest::newRow("UTF-8") << QByteArray("Насос 2") << QStringLiteral("Насос 2");
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("stops at the first zero byte") << QByteArray("Fan\0junk", 8) << "Fan";
    QTest::newRow("80 bytes without a zero byte")
        << QString(40, QChar(0x0416)).toUtf8() << QString(40, QChar(0x0416));
    QTest::newRow("80 ASCII bytes") << QByteArray(80, 'x') << QString(80, QLatin1Char('x'));
}

void TestEventsStateView::names()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);

    auto settings = relaySettings({0, 3});
    setName(settings->relays[1], bytes);
    // The mode right behind the field must not leak into a name that fills it.
    QCOMPARE(settings->relays[1].mode, quint16(3));
    EventsStateView view;
    view.setSettings(settings);
    QCOMPARE(textAt(tableOf(view), 0, 2), name);
}

void TestEventsStateView::languageChange()
{
    EventsStateView view;
    QTableWidget *table = tableOf(view);
    {
        Russian russian;
        QVERIFY(russian.loaded);
        QTRY_COMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Название"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Состояние"));
        QCOMPARE(view.title(), QStringLiteral("События"));
    }
    QTRY_COMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Name"));
}

QTEST_MAIN(TestEventsStateView)
#include "tst_eventsstateview.moc"
