#include "eventsstateview.h"
#include "relaystateview.h"
#include "viewtestsupport.h"

#include <QHeaderView>

#include <optional>

using namespace ViewTest;

Q_DECLARE_METATYPE(Settings)

namespace {
// A lamp column is at least 40 pixels, and never narrower than its caption.
void verifyCaptionsFit(const QTableWidget *table)
{
    for (int c = 0; c < 4; ++c) {
        const QString caption = table->horizontalHeaderItem(c)->text();
        const int needed = table->horizontalHeader()->fontMetrics().horizontalAdvance(caption);
        QVERIFY2(table->columnWidth(c) >= qMax(40, needed), qPrintable(caption));
    }
}

constexpr quint16 on = 3; // relay in use
} // namespace

// The relay module's panel and the table of relay events.
class TestRelayViews : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<uint>("status");
        QTest::addColumn<QStringList>("rows"); // number, en, fault, phys, logic

        const auto gap = relaySettings({on, 0, on});
        QTest::newRow("only both low bits of the mode count")
            << relaySettings({1, 2, 7, 0xFFFF, 4, 0xFFFC, 0x103, 3}) << 0u
            << QStringList{"3 off off off off", "4 off off off off", "7 off off off off",
                           "8 off off off off"};
        QTest::newRow("null record") << Settings() << ~0u << QStringList{};
        QTest::newRow("bit 17: fault of relay 2, which has no row")
            << gap << 0x00020000u << QStringList{"1 off off off off", "3 off off off off"};
        QTest::newRow("all bits of relay 3")
            << gap << 0x04040404u << QStringList{"1 off off off off", "3 green red green green"};
        QTest::newRow("relay 8 on, relay 5 physical")
            << relaySettings({0, 0, 0, 0, on, 0, 0, on}) << 0x80001080u
            << QStringList{"5 off off green off", "8 green off off green"};
    }

    void rows()
    {
        QFETCH(Settings, settings);
        QFETCH(uint, status);
        QFETCH(QStringList, rows);

        RelayStateView view(nullptr, QStringLiteral("t"));
        QCOMPARE(view.setSettings(settings), !rows.isEmpty());
        QVERIFY(view.findChild<QTableWidget *>()->isVisibleTo(&view));
        // Lit first, so that a lamp left alone would show.
        view.updateRelayState(~0u);
        view.updateRelayState(status);
        QCOMPARE(rowsOf(&view), rows);

        // Rebuilt rows start dark and follow their own relay.
        view.setSettings(relaySettings({0, 0, 0, on}));
        QCOMPARE(rowsOf(&view), QStringList{"4 off off off off"});
        view.updateRelayState(0x08000000u);
        QCOMPARE(rowsOf(&view), QStringList{"4 green off off off"});
    }

    void repeatedStatusRepaintsOnlyChangedLamps_data()
    {
        QTest::addColumn<uint>("next");
        QTest::addColumn<QStringList>("lamps"); // row/column of the lamps repainted

        // From relays 1 and 3 enabled, relay 1 on and relay 3 at fault.
        QTest::newRow("same word") << 0x05040101u << QStringList{};
        QTest::newRow("bits of a relay without a row") << 0x07060303u << QStringList{};
        QTest::newRow("relay 1 switched off") << 0x05040000u << QStringList{"0/3", "0/4"};
        QTest::newRow("fault of relay 3 cleared") << 0x05000101u << QStringList{"1/2"};
        QTest::newRow("all dark") << 0u << QStringList{"0/1", "0/3", "0/4", "1/1", "1/2"};
    }

    void repeatedStatusRepaintsOnlyChangedLamps()
    {
        QFETCH(uint, next);

        RelayStateView view(nullptr, QStringLiteral("t"));
        QVERIFY(view.setSettings(relaySettings({on, 0, on})));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.updateRelayState(0x05040101u);
        settle();

        const QTableWidget *table = view.findChild<QTableWidget *>();
        LampPaints paints;
        for (int row : {0, 1})
            for (int column = 1; column < 5; ++column)
                paints.watch(table, row, column);
        view.updateRelayState(next);
        settle();
        QTEST(paints.painted(), "lamps");

        RelayStateView fresh(nullptr, QStringLiteral("t"));
        fresh.setSettings(relaySettings({on, 0, on}));
        fresh.updateRelayState(next);
        QCOMPARE(rowsOf(&view), rowsOf(&fresh));
    }

    // Both forms follow the language; the events view's title is its own text.
    void captions_data()
    {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QStringList>("relay");  // captions
        QTest::addColumn<QStringList>("events"); // title, captions, lamp column's tool tip
        QTest::newRow("English") << false
                                 << QStringList{"№", "En", "Fault", "PhysState", "LogicState"}
                                 << QStringList{"Events", "№", "State", "Name",
                                                "Red - active, off - inactive"};
        QTest::newRow("Russian") << true << QStringList{"№", "Вкл", "Неиспр.", "ФизСост", "ЛогСост"}
                                 << QStringList{"События", "№", "Состояние", "Название",
                                                "Красный - активно, не горит - неактивно"};
    }
    void captions()
    {
        QFETCH(bool, russian);
        QFETCH(QStringList, relay);
        QFETCH(QStringList, events);
        RelayStateView relayView(nullptr, QStringLiteral("t"));
        EventsStateView eventsView;
        std::optional<Russian> language;
        if (russian)
            language.emplace();
        const auto captions = [](const QGroupBox &view) {
            const auto *table = view.findChild<QTableWidget *>(QStringLiteral("eventsTable"));
            QStringList texts;
            for (int column = 0; table && column < table->columnCount(); ++column)
                texts << table->horizontalHeaderItem(column)->text();
            return texts;
        };
        QTRY_COMPARE(captions(relayView), relay);
        verifyCaptionsFit(relayView.findChild<QTableWidget *>());
        QCOMPARE(relayView.QGroupBox::title(), QStringLiteral("t"));
        const QTableWidget *eventsTable = eventsView.findChild<QTableWidget *>();
        QCOMPARE(QStringList{eventsView.title()} + captions(eventsView) +
                     QStringList{eventsTable->horizontalHeaderItem(1)->toolTip()},
                 events);
        language.reset();
        QTRY_COMPARE(captions(relayView).value(1), QStringLiteral("En"));
    }

    void heightFitsAllRows()
    {
        auto *view = new RelayStateView(nullptr, QStringLiteral("t"));
        QVERIFY(view->setSettings(relaySettings({on, on, on, on, on, on, on, on})));
        verifyFitsInACrowdedStack(view);
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("name"); // of relay 5
        QTest::addColumn<uint>("status");
        QTest::addColumn<QStringList>("rows"); // number, lamp, name

        QTest::newRow("0x12: both active")
            << QByteArray("E") << 0x12u << QStringList{"2 red B", "5 red E"};
        QTest::newRow("relay 5 only")
            << QByteArray("E") << 0x10u << QStringList{"2 off B", "5 red E"};
        QTest::newRow("other relays and bits 8 to 31")
            << QByteArray("E") << 0xFFFFFFEDu << QStringList{"2 off B", "5 off E"};
        QTest::newRow("name stops at the first zero byte")
            << QByteArray("Fan\0junk", 8) << 0u << QStringList{"2 off B", "5 off Fan"};
        QTest::newRow("name of 80 bytes without a zero byte")
            << QString(40, QChar(0x0416)).toUtf8() << 0u
            << QStringList{"2 off B", "5 off " + QString(40, QChar(0x0416))};
    }

    void events()
    {
        QFETCH(QByteArray, name);
        QFETCH(uint, status);

        // Relays 2 and 5 in use; the others carry modes that do not count.
        auto settings = relaySettings({0, on, 1, 2, on, 0, 1, 2});
        settings->relays[1].name[0] = 'B';
        std::memcpy(settings->relays[4].name, name.constData(), size_t(name.size()));
        EventsStateView view;
        view.setSettings(settings);
        view.updateRelayState(0x12u);
        view.updateRelayState(status);
        QTEST(rowsOf(&view), "rows");
    }
};

QTEST_MAIN(TestRelayViews)
#include "tst_relayviews.moc"
