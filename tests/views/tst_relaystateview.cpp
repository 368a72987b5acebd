#include "relaystateview.h"
#include "viewtestsupport.h"

#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

using namespace ViewTest;

Q_DECLARE_METATYPE(QSharedPointer<t_orvo_settings>)

namespace {
QTableWidget *tableOf(RelayStateView &view)
{
    return view.findChild<QTableWidget *>(QStringLiteral("eventsTable"));
}

// The four lamps of a row as "en/fault/phys/logic".
QString lampsOfRow(const QTableWidget *table, int row)
{
    QStringList lamps;
    for (int column = 1; column <= 4; ++column)
        lamps << lampAt(table, row, column);
    return lamps.join(QLatin1Char('/'));
}

constexpr quint16 inUse = 3;
} // namespace

class TestRelayStateView : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void rows_data();
    void rows();
    void lamps_data();
    void lamps();
    void bitsOfRelaysWithoutRowAreIgnored();
    void updateBeforeSettingsChangesNothing();
    void secondSetSettingsReplacesRows();
    void languageChangeKeepsTitle();
    void heightFitsRowsInACrowdedStack_data();
    void heightFitsRowsInACrowdedStack();
};

void TestRelayStateView::form()
{
    RelayStateView view(nullptr, QStringLiteral("Relay node id 5:"));
    QCOMPARE(view.objectName(), QStringLiteral("RelayStateView"));
    QCOMPARE(view.QGroupBox::title(), QStringLiteral("Relay node id 5:"));
    QCOMPARE(view.size(), QSize(400, 300));
    QVERIFY(view.findChild<QVBoxLayout *>(QStringLiteral("verticalLayout")));
    QTableWidget *table = tableOf(view);
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 5);
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->horizontalHeader()->defaultSectionSize(), 40);
    QVERIFY(table->horizontalHeader()->stretchLastSection());
    QVERIFY(table->verticalHeader()->isHidden());
    const QStringList captions{QStringLiteral("\u2116"), "En", "Fault", "PhysState", "LogicState"};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(table->horizontalHeaderItem(c)->text(), captions.at(c));
    // Lamp columns are 40 pixels, or as wide as their caption needs.
    QCOMPARE(table->columnWidth(1), 40);
    for (int c = 0; c < 4; ++c) {
        const int caption =
            table->horizontalHeader()->fontMetrics().horizontalAdvance(captions.at(c));
        QVERIFY(table->columnWidth(c) >= qMax(40, caption));
    }
}

void TestRelayStateView::rows_data()
{
    QTest::addColumn<QSharedPointer<t_orvo_settings>>("settings");
    QTest::addColumn<QStringList>("numbers");

    QTest::newRow("relays 1, 3 and 4")
        << relaySettings({inUse, 0, inUse, inUse}) << QStringList{"1", "3", "4"};
    QTest::newRow("none in use") << relaySettings({0, 1, 2, 0, 0, 0, 0, 0}) << QStringList{};
    QTest::newRow("only both low bits count")
        << relaySettings({1, 2, 7, 0xFFFF, 4, 0xFFFC, 0x103, 3}) << QStringList{"3", "4", "7", "8"};
    QTest::newRow("last relay") << relaySettings({0, 0, 0, 0, 0, 0, 0, inUse}) << QStringList{"8"};
    QTest::newRow("null record") << QSharedPointer<t_orvo_settings>() << QStringList{};
}

void TestRelayStateView::rows()
{
    QFETCH(QSharedPointer<t_orvo_settings>, settings);
    QFETCH(QStringList, numbers);

    RelayStateView view(nullptr, QStringLiteral("t"));
    QCOMPARE(view.setSettings(settings), !numbers.isEmpty());
    QTableWidget *table = tableOf(view);
    QVERIFY(table->isVisibleTo(&view));
    QCOMPARE(table->rowCount(), numbers.size());
    for (int r = 0; r < numbers.size(); ++r) {
        QCOMPARE(textAt(table, r, 0), numbers.at(r));
        QCOMPARE(lampsOfRow(table, r), QStringLiteral("off/off/off/off"));
    }
}

void TestRelayStateView::lamps_data()
{
    QTest::addColumn<uint>("status");
    QTest::addColumn<QStringList>("lamps"); // relays 1 to 8

    const QString dark = QStringLiteral("off/off/off/off");
    QStringList allDark;
    for (int i = 0; i < 8; ++i)
        allDark << dark;

    QStringList fault2 = allDark;
    fault2[1] = QStringLiteral("off/red/off/off");
    QTest::newRow("bit 17: relay 2 fault") << 0x00020000u << fault2;

    QStringList relay1 = allDark;
    relay1[0] = QStringLiteral("green/red/green/green");
    QTest::newRow("all bits of relay 1") << 0x01010101u << relay1;

    QStringList enabled;
    for (int i = 0; i < 8; ++i)
        enabled << QStringLiteral("green/off/off/off");
    QTest::newRow("all enabled") << 0xFF000000u << enabled;

    QStringList mixed = allDark;
    mixed[7] = QStringLiteral("green/off/off/green");
    mixed[4] = QStringLiteral("off/off/green/off");
    QTest::newRow("relay 8 on, relay 5 physical") << 0x80001080u << mixed;

    QTest::newRow("zero turns everything dark") << 0u << allDark;
}

void TestRelayStateView::lamps()
{
    QFETCH(uint, status);
    QFETCH(QStringList, lamps);

    RelayStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(relaySettings({inUse, inUse, inUse, inUse, inUse, inUse, inUse, inUse}));
    QTableWidget *table = tableOf(view);
    // Light everything first, so that a lamp left alone would show.
    view.updateRelayState(0xFFFFFFFFu);
    QCOMPARE(lampsOfRow(table, 3), QStringLiteral("green/red/green/green"));

    view.updateRelayState(status);
    for (int r = 0; r < 8; ++r)
        QCOMPARE(lampsOfRow(table, r), lamps.at(r));
}

void TestRelayStateView::bitsOfRelaysWithoutRowAreIgnored()
{
    RelayStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(relaySettings({inUse, 0, inUse}));
    QTableWidget *table = tableOf(view);
    view.updateRelayState(0x02020202u); // relay 2 only, which has no row
    QCOMPARE(lampsOfRow(table, 0), QStringLiteral("off/off/off/off"));
    QCOMPARE(lampsOfRow(table, 1), QStringLiteral("off/off/off/off"));
    view.updateRelayState(0x04000004u);
    QCOMPARE(lampsOfRow(table, 1), QStringLiteral("green/off/off/green"));
}

void TestRelayStateView::updateBeforeSettingsChangesNothing()
{
    RelayStateView view(nullptr, QStringLiteral("t"));
    view.updateRelayState(0xFFFFFFFFu);
    QCOMPARE(tableOf(view)->rowCount(), 0);
}

void TestRelayStateView::secondSetSettingsReplacesRows()
{
    RelayStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(relaySettings({inUse, inUse}));
    QTableWidget *table = tableOf(view);
    view.updateRelayState(0xFFFFFFFFu);
    const QPointer<QWidget> oldLamp = table->cellWidget(0, 1);

    QVERIFY(view.setSettings(relaySettings({0, 0, 0, inUse})));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(textAt(table, 0, 0), QStringLiteral("4"));
    QCOMPARE(lampsOfRow(table, 0), QStringLiteral("off/off/off/off"));
    QTRY_VERIFY(oldLamp.isNull());

    view.updateRelayState(0x08000000u);
    QCOMPARE(lampsOfRow(table, 0), QStringLiteral("green/off/off/off"));
}

void TestRelayStateView::languageChangeKeepsTitle()
{
    RelayStateView view(nullptr, QStringLiteral("Relay node id 2:"));
    QTableWidget *table = tableOf(view);
    {
        Russian russian;
        QVERIFY(russian.loaded);
        QTRY_COMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Вкл"));
        QCOMPARE(table->horizontalHeaderItem(4)->text(), QStringLiteral("ЛогСост"));
        QCOMPARE(view.QGroupBox::title(), QStringLiteral("Relay node id 2:"));
    }
    QTRY_COMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("En"));
    QCOMPARE(view.QGroupBox::title(), QStringLiteral("Relay node id 2:"));
}

QTEST_MAIN(TestRelayStateView)
#include "tst_relaystateview.moc"

void TestRelayStateView::heightFitsRowsInACrowdedStack_data()
{
    QTest::addColumn<QSharedPointer<t_orvo_settings>>("settings");

    QTest::newRow("one relay") << relaySettings({inUse});
    QTest::newRow("eight relays") << relaySettings(
        {inUse, inUse, inUse, inUse, inUse, inUse, inUse, inUse});
}

void TestRelayStateView::heightFitsRowsInACrowdedStack()
{
    QFETCH(QSharedPointer<t_orvo_settings>, settings);

    // A window far too short for its panels, as in a large installation: the panels keep
    // their height and the window would scroll, instead of the relay table shrinking to a row.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *filler = new QWidget(&window);
    filler->setMinimumHeight(400);
    layout->addWidget(filler);
    auto *view = new RelayStateView(&window, QStringLiteral("t"));
    layout->addWidget(view);
    QVERIFY(view->setSettings(settings));
    window.resize(500, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTableWidget *table = tableOf(*view);
    QCOMPARE(view->height(), view->minimumHeight());
    int rows = 0;
    for (int r = 0; r < table->rowCount(); ++r)
        rows += table->rowHeight(r);
    QVERIFY2(table->viewport()->height() >= rows,
             qPrintable(QStringLiteral("%1 < %2").arg(table->viewport()->height()).arg(rows)));
    QVERIFY(!table->verticalScrollBar()->isVisible());
}
