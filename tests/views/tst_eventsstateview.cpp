#include "eventsstateview.h"
#include "viewtestsupport.h"

using namespace ViewTest;

namespace {
// Each row as "number: lamp name".
QStringList rowsOf(const EventsStateView &view)
{
    const auto *table = view.findChild<QTableWidget *>();
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << QStringLiteral("%1: %2 %3")
                    .arg(textAt(table, r, 0), lampAt(table, r, 1), textAt(table, r, 2));
    return rows;
}
} // namespace

class TestEventsStateView : public QObject
{
    Q_OBJECT

private slots:
    void lamps_data()
    {
        QTest::addColumn<uint>("status");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("0x12: both active") << 0x12u << QStringList{"2: red B", "5: red E"};
        QTest::newRow("relay 5 only") << 0x10u << QStringList{"2: off B", "5: red E"};
        QTest::newRow("other relays and bits 8 to 31")
            << 0xFFFFFFEDu << QStringList{"2: off B", "5: off E"};
    }

    void lamps()
    {
        QFETCH(uint, status);
        QFETCH(QStringList, rows);

        // Relays 2 and 5 in use; the others carry modes that do not count.
        auto settings = relaySettings({0, 3, 1, 2, 3, 0, 1, 2});
        for (int r = 0; r < 8; ++r)
            settings->relays[r].name[0] = quint8('A' + r);
        EventsStateView view;
        view.setSettings(settings);
        QCOMPARE(rowsOf(view), (QStringList{"2: off B", "5: off E"}));
        view.updateRelayState(0x12u);
        view.updateRelayState(status);
        QCOMPARE(rowsOf(view), rows);

        view.setSettings(nullptr);
        view.updateRelayState(~0u);
        QCOMPARE(rowsOf(view), QStringList());
    }

    void names_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");

        QTest::newRow("UTF-8") << QByteArray("Насос 2") << QStringLiteral("Насос 2");
        QTest::newRow("stops at the first zero byte") << QByteArray("Fan\0junk", 8) << "Fan";
        QTest::newRow("80 bytes without a zero byte")
            << QString(40, QChar(0x0416)).toUtf8() << QString(40, QChar(0x0416));
        QTest::newRow("80 ASCII bytes") << QByteArray(80, 'x') << QString(80, 'x');
    }

    void names()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);

        auto settings = relaySettings({0, 3});
        std::memcpy(settings->relays[1].name, bytes.constData(), size_t(bytes.size()));
        EventsStateView view;
        view.setSettings(settings);
        QCOMPARE(rowsOf(view), QStringList{"2: off " + name});
    }
};

QTEST_MAIN(TestEventsStateView)
#include "tst_eventsstateview.moc"
