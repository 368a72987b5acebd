#include "channelstateview.h"
#include "meascatalogue.h"
#include "viewtestsupport.h"

#include <QHeaderView>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace ViewTest;

Q_DECLARE_METATYPE(QLocale)
Q_DECLARE_METATYPE(QSharedPointer<t_orvo_settings>)

namespace {
constexpr int NumberCol = MeasCatalogue::NumberColumn;
constexpr int TimeCol = MeasCatalogue::TimeColumn;
constexpr int FailureCol = MeasCatalogue::FailureColumn;
constexpr int AlertCol = MeasCatalogue::AlertColumn;
constexpr int DangerCol = MeasCatalogue::DangerColumn;
constexpr int BaseCol = MeasCatalogue::BaseColumn;
constexpr int DeltaCol = MeasCatalogue::DeltaColumn;
constexpr int FsCol = MeasCatalogue::FsColumn;
constexpr int ValueCol = MeasCatalogue::ValueColumn;

QTableWidget *tableOf(ChannelStateView &view)
{
    return view.findChild<QTableWidget *>(QStringLiteral("measTable"));
}

void fireStaleness(ChannelStateView &view, int ch)
{
    QTimer *timer = view.channelTimer(ch);
    QVERIFY(timer);
    // Emitted by the timer itself, as when it expires.
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}
} // namespace

class TestChannelStateView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();

    void form();
    void layout_data();
    void layout();
    void nullSettings();
    void heightFitsRows_data();
    void heightFitsRows();

    void valueFormatting_data();
    void valueFormatting();
    void failureLamp_data();
    void failureLamp();
    void conditionLamps_data();
    void conditionLamps();
    void baseAndDelta_data();
    void baseAndDelta();
    void rowsWithoutItemAreCleared();

    void statesWithoutEntryAreIgnored_data();
    void statesWithoutEntryAreIgnored();
    void zeroFullScaleLeavesPercentagesEmpty();

    void staleAfterTimeoutRecoversOnNextState();
    void connectionLostStopsTimers();
    void secondSetSettingsReplacesRows();
    void languageChangeKeepsTitle();
};

void TestChannelStateView::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestChannelStateView::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestChannelStateView::form()
{
    ChannelStateView view(nullptr, QStringLiteral("Module node id 3:"));
    QCOMPARE(view.objectName(), QStringLiteral("ChannelStateView"));
    QCOMPARE(view.QGroupBox::title(), QStringLiteral("Module node id 3:"));
    QVERIFY(view.findChild<QVBoxLayout *>(QStringLiteral("verticalLayout")));
    QTableWidget *table = tableOf(view);
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 9);
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(table->verticalHeader()->isHidden());
    QVERIFY(table->horizontalHeader()->stretchLastSection());
    const QStringList captions{
        QStringLiteral("\u2116"), "Time", "F", "A", "D", "Base", "Delta", "FS %", "Value"};
    for (int c = 0; c < 9; ++c)
        QCOMPARE(table->horizontalHeaderItem(c)->text(), captions.at(c));
    // Narrow columns, widened only as far as the font needs to show a full reading.
    const QList<int> widths{30, 70, 30, 30, 30, 47, 47, 47};
    const QStringList widest{"4/8", "00:00:00", "", "", "", "100.00", "100.00", "100.00"};
    for (int c = 0; c < widths.size(); ++c) {
        const int needed = table->fontMetrics().horizontalAdvance(widest.at(c)) + 6;
        QVERIFY2(table->columnWidth(c) == qMax(widths.at(c), table->columnWidth(c)) &&
                     table->columnWidth(c) >= needed,
                 qPrintable(QString::number(c)));
    }
    QCOMPARE(table->columnWidth(FailureCol), 30);
    QCOMPARE(table->horizontalHeaderItem(FailureCol)->toolTip(),
             QStringLiteral("Failure:\n  Green - False\n  Red - True\n  Off - Z"));
    QCOMPARE(table->horizontalHeaderItem(ValueCol)->toolTip(), QStringLiteral("Measurement value"));
    QVERIFY(!view.channelTimer(0));
}

void TestChannelStateView::layout_data()
{
    QTest::addColumn<QSharedPointer<t_orvo_settings>>("settings");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QList<int>>(
        "spans"); // per table row: rows spanned by time and failure, 0 none
    QTest::addColumn<QList<int>>("intervals"); // per channel: timer interval, 0 not running

    QTest::newRow("gaps and spans")
        << channelSettings(0b0101, {{0, 0, 1}, {0, 1, 2}, {0, 4, 3}, {2, 0, 5}}) << true
        << QStringList{"1/1", "1/2", "1/5", "3/1"} << QList<int>{3, 0, 0, 1}
        << QList<int>{27000, 0, 27000, 0};
    QTest::newRow("one channel") << channelSettings(0b0010, {{1, 7, 4}}) << true
                                 << QStringList{"2/8"} << QList<int>{1}
                                 << QList<int>{0, 16000, 0, 0};
    QTest::newRow("four channels")
        << channelSettings(0b1111, {{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {3, 2, 1}, {3, 3, 2}}) << true
        << QStringList{"1/1", "2/1", "3/1", "4/3", "4/4"} << QList<int>{1, 1, 1, 2, 0}
        << QList<int>{49000, 49000, 49000, 49000};
    QTest::newRow("enabled channel without measurements keeps its timer")
        << channelSettings(0b0011, {{1, 2, 5}}) << true << QStringList{"2/3"} << QList<int>{1}
        << QList<int>{27000, 27000, 0, 0};
    QTest::newRow("measurements of disabled channels are not shown")
        << channelSettings(0b0100, {{0, 0, 1}, {2, 5, 2}, {3, 0, 3}}) << true << QStringList{"3/6"}
        << QList<int>{1} << QList<int>{0, 0, 16000, 0};
    QTest::newRow("only high mask bits") << channelSettings(0xFFF0, {{0, 0, 1}, {1, 1, 1}}) << false
                                         << QStringList{} << QList<int>{} << QList<int>{0, 0, 0, 0};
    QTest::newRow("high bits do not count as channels")
        << channelSettings(0xFFF1, {{0, 0, 1}}) << true << QStringList{"1/1"} << QList<int>{1}
        << QList<int>{16000, 0, 0, 0};
}

void TestChannelStateView::layout()
{
    QFETCH(QSharedPointer<t_orvo_settings>, settings);
    QFETCH(bool, shown);
    QFETCH(QStringList, numbers);
    QFETCH(QList<int>, spans);
    QFETCH(QList<int>, intervals);

    ChannelStateView view(nullptr, QStringLiteral("t"));
    QCOMPARE(view.setSettings(settings), shown);
    QTableWidget *table = tableOf(view);
    QVERIFY(table->isVisibleTo(&view));
    QCOMPARE(table->rowCount(), numbers.size());
    for (int r = 0; r < numbers.size(); ++r) {
        QCOMPARE(textAt(table, r, NumberCol), numbers.at(r));
        QVERIFY(indicatorAt(table, r, AlertCol));
        QVERIFY(indicatorAt(table, r, DangerCol));
        QCOMPARE(textAt(table, r, ValueCol), QString());
        if (spans.at(r) == 0) {
            QVERIFY(!table->cellWidget(r, FailureCol));
            continue;
        }
        QCOMPARE(table->rowSpan(r, TimeCol), spans.at(r));
        QCOMPARE(table->rowSpan(r, FailureCol), spans.at(r));
        QVERIFY(table->item(r, TimeCol));
        // A new channel waits for data: failure lamp off, saying so.
        QCOMPARE(lampAt(table, r, FailureCol), QStringLiteral("off"));
        QCOMPARE(indicatorAt(table, r, FailureCol)->toolTip(), QStringLiteral("No valid data"));
    }
    for (int ch = 0; ch < 4; ++ch) {
        QTimer *timer = view.channelTimer(ch);
        QVERIFY(timer);
        QCOMPARE(timer->isActive(), intervals.at(ch) != 0);
        if (intervals.at(ch) != 0) {
            QVERIFY(timer->isSingleShot());
            QCOMPARE(timer->interval(), intervals.at(ch));
        }
    }
}

void TestChannelStateView::nullSettings()
{
    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(1, {{0, 0, 1}}));
    QVERIFY(!view.setSettings(nullptr));
    QCOMPARE(tableOf(view)->rowCount(), 0);
    QVERIFY(!view.channelTimer(0));
    view.setChState(makeState(0, 0, {{0, 1, 1.0f}}));
}

void TestChannelStateView::heightFitsRows_data()
{
    QTest::addColumn<QSharedPointer<t_orvo_settings>>("settings");

    QTest::newRow("one row") << channelSettings(1, {{0, 0, 1}});
    QTest::newRow("four rows") << channelSettings(5, {{0, 0, 1}, {0, 1, 1}, {0, 4, 1}, {2, 0, 5}});
    auto full = channelSettings(0xF, {});
    for (int c = 0; c < 4; ++c)
        for (int m = 0; m < 8; ++m)
            full->channels[c].meas[m].type = quint16(m + 1);
    QTest::newRow("thirty-two rows") << full;
}

void TestChannelStateView::heightFitsRows()
{
    QFETCH(QSharedPointer<t_orvo_settings>, settings);

    // As in the main window: panels stacked in a layout, the height fixed to the content.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *view = new ChannelStateView(&window, QStringLiteral("t"));
    layout->addWidget(view);
    layout->addStretch();
    view->setSettings(settings);
    window.resize(700, 1600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTableWidget *table = tableOf(*view);
    QCOMPARE(view->minimumHeight(), view->maximumHeight());
    QCOMPARE(view->height(), view->maximumHeight());
    int rows = 0;
    for (int r = 0; r < table->rowCount(); ++r)
        rows += table->rowHeight(r);
    QVERIFY2(table->viewport()->height() >= rows,
             qPrintable(QStringLiteral("%1 < %2").arg(table->viewport()->height()).arg(rows)));
    QVERIFY(!table->verticalScrollBar()->isVisible());
}

void TestChannelStateView::valueFormatting_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<quint16>("type");
    QTest::addColumn<float>("value");
    QTest::addColumn<quint16>("fs");
    QTest::addColumn<QString>("valueText");
    QTest::addColumn<QString>("fsText");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("english") << english << quint16(1) << 0.5f << quint16(32768)
                             << QStringLiteral("0.500000 m/s\u00B2") << "50.00";
    QTest::newRow("decimal comma") << german << quint16(1) << 0.5f << quint16(32768)
                                   << QStringLiteral("0,500000 m/s\u00B2") << "50,00";
    QTest::newRow("group separator")
        << english << quint16(5) << 12345.5f << quint16(65535) << "12,345.500000 rpm"
        << "100.00";
    QTest::newRow("micro unit") << english << quint16(3) << 17.25f << quint16(0)
                                << QStringLiteral("17.250000 \u00B5m") << "0.00";
}

void TestChannelStateView::valueFormatting()
{
    QFETCH(QLocale, locale);
    QFETCH(quint16, type);
    QFETCH(float, value);
    QFETCH(quint16, fs);
    QFETCH(QString, valueText);
    QFETCH(QString, fsText);
    QLocale::setDefault(locale);

    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(1, {{0, 3, type}}));
    view.setChState(makeState(0, 0, {{3, type, value, fs}}));
    QTableWidget *table = tableOf(view);
    QCOMPARE(textAt(table, 0, ValueCol), valueText);
    QCOMPARE(textAt(table, 0, FsCol), fsText);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{1,2}:\\d\\d:\\d\\d$"))
                .match(textAt(table, 0, TimeCol))
                .hasMatch());
    for (int column : {NumberCol, ValueCol, FsCol, BaseCol, DeltaCol})
        QCOMPARE(table->item(0, column)->toolTip(), MeasCatalogue::typeName(type));
}

void TestChannelStateView::failureLamp_data()
{
    QTest::addColumn<QVector<int>>("statuses");
    QTest::addColumn<QString>("lamp");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("valid data") << QVector<int>{0} << "green"
                                << "Valid data";
    QTest::newRow("short circuit") << QVector<int>{1} << "red"
                                   << "Short circuit";
    QTest::newRow("open circuit") << QVector<int>{2} << "red"
                                  << "Open circuit";
    QTest::newRow("no valid data") << QVector<int>{0, 0xFFFF} << "off"
                                   << "No valid data";
    QTest::newRow("unlisted code keeps the lamp") << QVector<int>{1, 3} << "red"
                                                  << "";
    QTest::newRow("unlisted code on a new channel") << QVector<int>{0x1234} << "off"
                                                    << "";
    QTest::newRow("listed code after unlisted") << QVector<int>{3, 0} << "green"
                                                << "Valid data";
}

void TestChannelStateView::failureLamp()
{
    QFETCH(QVector<int>, statuses);
    QFETCH(QString, lamp);
    QFETCH(QString, toolTip);

    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(0b11, {{0, 0, 1}, {1, 0, 1}, {1, 1, 2}}));
    QTableWidget *table = tableOf(view);
    for (int status : statuses)
        view.setChState(makeState(1, quint16(status), {{0, 1, 1.0f}, {1, 2, 2.0f}}));
    QCOMPARE(lampAt(table, 1, FailureCol), lamp);
    QCOMPARE(indicatorAt(table, 1, FailureCol)->toolTip(), toolTip);
    // The other channel is not touched.
    QCOMPARE(lampAt(table, 0, FailureCol), QStringLiteral("off"));
    QCOMPARE(indicatorAt(table, 0, FailureCol)->toolTip(), QStringLiteral("No valid data"));
}

void TestChannelStateView::conditionLamps_data()
{
    QTest::addColumn<int>("alert");
    QTest::addColumn<int>("danger");
    QTest::addColumn<QString>("alertLamp");
    QTest::addColumn<QString>("dangerLamp");

    QTest::newRow("undetermined and false") << -1 << 0 << "off"
                                            << "green";
    QTest::newRow("false and true") << 0 << 1 << "green"
                                    << "red";
    QTest::newRow("true and undetermined") << 1 << -1 << "red"
                                           << "off";
}

void TestChannelStateView::conditionLamps()
{
    QFETCH(int, alert);
    QFETCH(int, danger);
    QFETCH(QString, alertLamp);
    QFETCH(QString, dangerLamp);

    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(1, {{0, 0, 1}, {0, 1, 2}}));
    // Light both lamps first, so that a lamp left alone would show.
    view.setChState(makeState(0, 0, {{1, 2, 1.0f, 0, 0, flags(0, 1, 1, false)}}));
    view.setChState(makeState(0, 0, {{1, 2, 1.0f, 0, 0, flags(0, alert, danger, false)}}));
    QTableWidget *table = tableOf(view);
    QCOMPARE(lampAt(table, 1, AlertCol), alertLamp);
    QCOMPARE(lampAt(table, 1, DangerCol), dangerLamp);
    QCOMPARE(lampAt(table, 0, AlertCol), QStringLiteral("off"));
}

void TestChannelStateView::baseAndDelta_data()
{
    QTest::addColumn<quint16>("fs");
    QTest::addColumn<quint16>("base");
    QTest::addColumn<quint16>("flagBits");
    QTest::addColumn<QString>("fsText");
    QTest::addColumn<QString>("baseText");
    QTest::addColumn<QString>("deltaText");

    QTest::newRow("valid baseline")
        << quint16(32768) << quint16(16384) << flags(0, 0, 0, true) << "50.00"
        << "25.00"
        << "25.00";
    QTest::newRow("below baseline")
        << quint16(6554) << quint16(19661) << flags(0, 0, 0, true) << "10.00"
        << "30.00"
        << "-20.00";
    QTest::newRow("no valid baseline")
        << quint16(32768) << quint16(16384) << flags(0, 0, 0, false) << "50.00"
        << ""
        << "";
    QTest::newRow("failure hides the deviation")
        << quint16(32768) << quint16(16384) << flags(1, 0, 0, true) << "50.00"
        << "25.00"
        << "";
    QTest::newRow("undetermined failure keeps the deviation")
        << quint16(32768) << quint16(16384) << flags(-1, 0, 0, true) << "50.00"
        << "25.00"
        << "25.00";
}

void TestChannelStateView::baseAndDelta()
{
    QFETCH(quint16, fs);
    QFETCH(quint16, base);
    QFETCH(quint16, flagBits);
    QFETCH(QString, fsText);
    QFETCH(QString, baseText);
    QFETCH(QString, deltaText);

    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(1, {{0, 0, 2}}));
    view.setChState(makeState(0, 0, {{0, 2, 4.0f, fs, base, flagBits}}));
    QTableWidget *table = tableOf(view);
    QCOMPARE(textAt(table, 0, FsCol), fsText);
    QCOMPARE(textAt(table, 0, BaseCol), baseText);
    QCOMPARE(textAt(table, 0, DeltaCol), deltaText);
}

void TestChannelStateView::rowsWithoutItemAreCleared()
{
    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(1, {{0, 0, 1}, {0, 2, 2}}));
    QTableWidget *table = tableOf(view);
    const quint16 f = flags(0, 1, 1, true);
    view.setChState(makeState(0, 0, {{0, 1, 1.0f, 100, 50, f}, {2, 2, 2.0f, 100, 50, f}}));
    QCOMPARE(lampAt(table, 1, AlertCol), QStringLiteral("red"));

    // Slot 2 is missing and slot 5 has no row: row 2 is cleared, slot 5 ignored.
    view.setChState(makeState(0, 1, {{0, 1, 3.0f, 100, 50, f}, {5, 1, 9.0f, 100, 50, f}}));
    QCOMPARE(textAt(table, 0, ValueCol), QStringLiteral("3.000000 m/s\u00B2"));
    for (int column : {ValueCol, FsCol, BaseCol, DeltaCol})
        QCOMPARE(textAt(table, 1, column), QString());
    QCOMPARE(lampAt(table, 1, AlertCol), QStringLiteral("off"));
    QCOMPARE(lampAt(table, 1, DangerCol), QStringLiteral("off"));

    // An empty list clears all rows, the status still drives the failure lamp.
    view.setChState(makeState(0, 2, {}));
    QCOMPARE(textAt(table, 0, ValueCol), QString());
    QCOMPARE(lampAt(table, 0, AlertCol), QStringLiteral("off"));
    QCOMPARE(lampAt(table, 0, FailureCol), QStringLiteral("red"));
    QCOMPARE(indicatorAt(table, 0, FailureCol)->toolTip(), QStringLiteral("Open circuit"));
}

void TestChannelStateView::statesWithoutEntryAreIgnored_data()
{
    QTest::addColumn<bool>("configured");
    QTest::addColumn<int>("ch");

    QTest::newRow("before setSettings") << false << 0;
    QTest::newRow("negative channel") << true << -1;
    QTest::newRow("channel 4") << true << 4;
    QTest::newRow("channel far out of range") << true << 1000;
    QTest::newRow("large negative channel") << true << -100000;
}

void TestChannelStateView::statesWithoutEntryAreIgnored()
{
    QFETCH(bool, configured);
    QFETCH(int, ch);

    ChannelStateView view(nullptr, QStringLiteral("t"));
    if (configured)
        view.setSettings(channelSettings(1, {{0, 0, 1}}));
    view.setChState(makeState(ch, 0, {{0, 1, 1.0f}}));
    view.setChState(QSharedPointer<ChState>());

    QTableWidget *table = tableOf(view);
    QCOMPARE(table->rowCount(), configured ? 1 : 0);
    if (configured) {
        QCOMPARE(textAt(table, 0, ValueCol), QString());
        QCOMPARE(lampAt(table, 0, FailureCol), QStringLiteral("off"));
    }
}

void TestChannelStateView::zeroFullScaleLeavesPercentagesEmpty()
{
    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(1, {{0, 0, 4}}, 0));
    view.setChState(makeState(0, 0, {{0, 4, 1.5f, 100, 50, flags(0, 0, 0, true)}}));
    QTableWidget *table = tableOf(view);
    QCOMPARE(textAt(table, 0, ValueCol), QStringLiteral("1.500000 V"));
    QCOMPARE(textAt(table, 0, FsCol), QString());
    QCOMPARE(textAt(table, 0, BaseCol), QString());
    QCOMPARE(textAt(table, 0, DeltaCol), QString());
    QCOMPARE(lampAt(table, 0, AlertCol), QStringLiteral("green"));
}

void TestChannelStateView::staleAfterTimeoutRecoversOnNextState()
{
    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(0b11, {{0, 0, 1}, {1, 0, 2}}));
    QTableWidget *table = tableOf(view);
    const auto live = [] {
        return makeState(0, 0, {{0, 1, 0.25f, 32768, 16384, flags(0, 1, 0, true)}});
    };
    view.setChState(live());
    view.setChState(makeState(1, 0, {{0, 2, 7.0f}}));
    const QString time = textAt(table, 0, TimeCol);
    QVERIFY(!time.isEmpty());
    QTimer *timer = view.channelTimer(0);
    QCOMPARE(timer->interval(), 27000);

    fireStaleness(view, 0);
    QCOMPARE(lampAt(table, 0, FailureCol), QStringLiteral("off"));
    QCOMPARE(indicatorAt(table, 0, FailureCol)->toolTip(), QStringLiteral("No valid data"));
    for (int column : {ValueCol, FsCol, BaseCol, DeltaCol})
        QCOMPARE(textAt(table, 0, column), QString());
    QCOMPARE(lampAt(table, 0, AlertCol), QStringLiteral("off"));
    QCOMPARE(lampAt(table, 0, DangerCol), QStringLiteral("off"));
    QCOMPARE(textAt(table, 0, TimeCol), time);
    // Only the channel whose timer expired goes stale.
    QCOMPARE(textAt(table, 1, ValueCol), QStringLiteral("7.000000 mm/s"));
    QCOMPARE(lampAt(table, 1, FailureCol), QStringLiteral("green"));

    view.setChState(live());
    QCOMPARE(textAt(table, 0, ValueCol), QStringLiteral("0.250000 m/s\u00B2"));
    QCOMPARE(textAt(table, 0, DeltaCol), QStringLiteral("25.00"));
    QCOMPARE(lampAt(table, 0, FailureCol), QStringLiteral("green"));
    QCOMPARE(lampAt(table, 0, AlertCol), QStringLiteral("red"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 27000);
}

void TestChannelStateView::connectionLostStopsTimers()
{
    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(0b101, {{0, 0, 1}, {2, 0, 1}}));
    view.setChState(makeState(0, 0, {{0, 1, 1.0f}}));
    QVERIFY(QMetaObject::invokeMethod(&view, "connectionLost"));
    for (int ch = 0; ch < 4; ++ch)
        QVERIFY(!view.channelTimer(ch)->isActive());
    QCOMPARE(textAt(tableOf(view), 0, ValueCol), QStringLiteral("1.000000 m/s\u00B2"));
}

void TestChannelStateView::secondSetSettingsReplacesRows()
{
    ChannelStateView view(nullptr, QStringLiteral("t"));
    view.setSettings(channelSettings(0b11, {{0, 0, 1}, {0, 1, 1}, {1, 0, 1}}));
    QTableWidget *table = tableOf(view);
    view.setChState(makeState(0, 1, {{0, 1, 1.0f}, {1, 1, 1.0f}}));
    const QPointer<QWidget> oldLamp = table->cellWidget(0, FailureCol);
    QVERIFY(oldLamp);

    QVERIFY(view.setSettings(channelSettings(0b10, {{1, 3, 2}})));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(textAt(table, 0, NumberCol), QStringLiteral("2/4"));
    QCOMPARE(table->rowSpan(0, FailureCol), 1);
    QCOMPARE(lampAt(table, 0, FailureCol), QStringLiteral("off"));
    QCOMPARE(textAt(table, 0, ValueCol), QString());
    QCOMPARE(view.channelTimer(1)->interval(), 16000);
    QVERIFY(!view.channelTimer(0)->isActive());
    QTRY_VERIFY(oldLamp.isNull());

    // A state for the channel that is gone reaches an entry without rows: nothing to show.
    view.setChState(makeState(0, 0, {{0, 1, 1.0f}}));
    QCOMPARE(table->rowCount(), 1);
    QVERIFY(!view.channelTimer(0)->isActive());
}

void TestChannelStateView::languageChangeKeepsTitle()
{
    ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
    view.setSettings(channelSettings(1, {{0, 0, 3}}));
    view.setChState(makeState(0, 0xFFFF, {{0, 3, 2.0f}}));
    QTableWidget *table = tableOf(view);
    {
        Russian russian;
        QVERIFY(russian.loaded);
        QTRY_COMPARE(table->horizontalHeaderItem(TimeCol)->text(), QStringLiteral("Время"));
        QCOMPARE(view.QGroupBox::title(), QStringLiteral("Module node id 7:"));
        QCOMPARE(textAt(table, 0, ValueCol), QStringLiteral("2.000000 мкм"));
        QCOMPARE(table->item(0, NumberCol)->toolTip(), QStringLiteral("Перемещение"));
        QCOMPARE(indicatorAt(table, 0, FailureCol)->toolTip(),
                 QStringLiteral("Нет достоверных данных"));
        QVERIFY(table->horizontalHeaderItem(AlertCol)->toolTip().startsWith("Alert:\n  Зелёный"));
    }
    QTRY_COMPARE(table->horizontalHeaderItem(TimeCol)->text(), QStringLiteral("Time"));
    QCOMPARE(textAt(table, 0, ValueCol), QStringLiteral("2.000000 \u00B5m"));
    QCOMPARE(view.QGroupBox::title(), QStringLiteral("Module node id 7:"));
}

QTEST_MAIN(TestChannelStateView)
#include "tst_channelstateview.moc"
