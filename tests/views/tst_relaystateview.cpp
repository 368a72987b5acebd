#include "relaystateview.h"
#include "viewtestsupport.h"

#include <QHeaderView>
#include <QPointer>
#include <QVBoxLayout>

using namespace ViewTest;

Q_DECLARE_METATYPE(Settings)

namespace {
// Each row as "number: en/fault/phys/logic".
QStringList rowsOf(const RelayStateView &view)
{
    const auto *table = view.findChild<QTableWidget *>();
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << QStringLiteral("%1: %2/%3/%4/%5")
                    .arg(textAt(table, r, 0), lampAt(table, r, 1), lampAt(table, r, 2),
                         lampAt(table, r, 3), lampAt(table, r, 4));
    return rows;
}

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

class TestRelayStateView : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<uint>("status");
        QTest::addColumn<QStringList>("rows");

        const auto gap = relaySettings({on, 0, on});
        QTest::newRow("only both low bits of the mode count")
            << relaySettings({1, 2, 7, 0xFFFF, 4, 0xFFFC, 0x103, 3}) << 0u
            << QStringList{"3: off/off/off/off", "4: off/off/off/off", "7: off/off/off/off",
                           "8: off/off/off/off"};
        QTest::newRow("none in use") << relaySettings({0, 1, 2}) << ~0u << QStringList{};
        QTest::newRow("null record") << Settings() << ~0u << QStringList{};
        QTest::newRow("bit 17: fault of relay 2, which has no row")
            << gap << 0x00020000u << QStringList{"1: off/off/off/off", "3: off/off/off/off"};
        QTest::newRow("all bits of relay 3")
            << gap << 0x04040404u << QStringList{"1: off/off/off/off", "3: green/red/green/green"};
        QTest::newRow("all enabled")
            << gap << 0xFF000000u << QStringList{"1: green/off/off/off", "3: green/off/off/off"};
        QTest::newRow("relay 8 on, relay 5 physical")
            << relaySettings({0, 0, 0, 0, on, 0, 0, on}) << 0x80001080u
            << QStringList{"5: off/off/green/off", "8: green/off/off/green"};
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
        QCOMPARE(rowsOf(view), rows);

        // Rebuilt rows start dark and follow their own relay.
        view.setSettings(relaySettings({0, 0, 0, on}));
        QCOMPARE(rowsOf(view), QStringList{"4: off/off/off/off"});
        view.updateRelayState(0x08000000u);
        QCOMPARE(rowsOf(view), QStringList{"4: green/off/off/off"});
    }

    void languageChangeKeepsTitleAndFit()
    {
        RelayStateView view(nullptr, QStringLiteral("Relay node id 2:"));
        QTableWidget *table = view.findChild<QTableWidget *>();
        verifyCaptionsFit(table);
        {
            Russian russian;
            QTRY_COMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Вкл"));
            QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("ФизСост"));
            verifyCaptionsFit(table);
            QCOMPARE(view.QGroupBox::title(), QStringLiteral("Relay node id 2:"));
        }
        QTRY_COMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("En"));
        QCOMPARE(view.QGroupBox::title(), QStringLiteral("Relay node id 2:"));
    }

    void heightFitsRowsInACrowdedStack()
    {
        // A window far too short for its panels, as in a large installation: the panels keep
        // their height and the window would scroll, instead of the relay table shrinking to a row.
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *filler = new QWidget(&window);
        filler->setMinimumHeight(400);
        layout->addWidget(filler);
        auto *view = new RelayStateView(&window, QStringLiteral("t"));
        layout->addWidget(view);
        QVERIFY(view->setSettings(relaySettings({on, on, on, on, on, on, on, on})));
        window.resize(500, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(view->height(), view->minimumHeight());
        verifyRowsFit(view->findChild<QTableWidget *>());
    }
};

QTEST_MAIN(TestRelayStateView)
#include "tst_relaystateview.moc"
