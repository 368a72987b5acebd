#include "channelstateview.h"
#include "meascatalogue.h"
#include "viewtestsupport.h"

#include <QPaintEvent>
#include <QScrollArea>

#include <algorithm>

using namespace ViewTest;
using C = MeasCatalogue;

// One measurement as the module reports it, under the module's full scale.
struct Reading
{
    quint16 type;
    float value;
    quint16 fs, base, flags, fullScale = 0xFFFF;
};

Q_DECLARE_METATYPE(Settings)
Q_DECLARE_METATYPE(Reading)
Q_DECLARE_METATYPE(ViewTest::Meas)

namespace {
// A row as "failure lamp (its tool tip)/alert/danger: value, FS %, Base, Delta".
QString rowAt(const QTableWidget *table, int row)
{
    const QTableWidgetItem *failure = table->item(row, C::FailureColumn);
    return QStringLiteral("%1 (%2)/%3/%4: %5, %6, %7, %8")
        .arg(lampShows(table, row, C::FailureColumn), failure ? failure->toolTip() : QString(),
             lampShows(table, row, C::AlertColumn), lampShows(table, row, C::DangerColumn),
             textAt(table, row, C::ValueColumn), textAt(table, row, C::FsColumn))
        .arg(textAt(table, row, C::BaseColumn), textAt(table, row, C::DeltaColumn));
}
const QString waiting = QStringLiteral("off (No valid data)/off/off: , , , ");
const QString cleared = QStringLiteral("none ()/off/off: , , , ");

QTableWidget *configure(ChannelStateView &view, const Settings &settings)
{
    view.setSettings(settings);
    return view.findChild<QTableWidget *>();
}

// The union of what its widget was asked to paint.
class PaintedRegion : public QObject
{
public:
    explicit PaintedRegion(QWidget *widget) { widget->installEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};
} // namespace

class TestChannelStateView : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    void layout_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QList<int>>("spans");     // per row: rows spanned by time and failure
        QTest::addColumn<QList<int>>("intervals"); // per channel: staleness timeout, 0 stopped

        QTest::newRow("gaps and spans")
            << channelSettings(0b0101, {{0, 0, 1}, {0, 1, 2}, {0, 4, 3}, {2, 0, 5}})
            << QStringList{"1/1", "1/2", "1/5", "3/1"} << QList<int>{3, 0, 0, 1}
            << QList<int>{27000, 0, 27000, 0};
        QTest::newRow("enabled channel without measurements keeps its timer")
            << channelSettings(0b0011, {{1, 2, 5}}) << QStringList{"2/3"} << QList<int>{1}
            << QList<int>{27000, 27000, 0, 0};
        QTest::newRow("measurements of disabled channels are not shown")
            << channelSettings(0xFFF4, {{0, 0, 1}, {2, 5, 2}, {3, 0, 3}}) << QStringList{"3/6"}
            << QList<int>{1} << QList<int>{0, 0, 16000, 0};
        QTest::newRow("only high mask bits")
            << channelSettings(0xFFF0, {{0, 0, 1}}) << QStringList{} << QList<int>{}
            << QList<int>{0, 0, 0, 0};
    }

    void layout()
    {
        QFETCH(Settings, settings);
        QFETCH(QStringList, numbers);
        QFETCH(QList<int>, spans);
        QFETCH(QList<int>, intervals);

        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        // Built over an earlier configuration with live values, which must leave no trace.
        QTableWidget *table =
            configure(view, channelSettings(0xF, {{0, 0, 1}, {0, 1, 1}, {1, 0, 1}, {3, 1, 1}}));
        view.setChState(makeState(0, 1, {{0, 1, 1.0f}, {1, 1, 1.0f}}));
        QCOMPARE(view.setSettings(settings), !numbers.isEmpty());
        QVERIFY(table->isVisibleTo(&view));
        // Channel 3 is never enabled here; the others have no entry.
        for (int ch : {-100000, -1, 3, 4})
            view.setChState(makeState(ch, 0, {{0, 1, 1.0f}}));
        view.setChState(nullptr);
        QCOMPARE(table->rowCount(), numbers.size());
        for (int r = 0; r < numbers.size(); ++r) {
            QCOMPARE(textAt(table, r, C::NumberColumn), numbers.at(r));
            // A new channel waits for data, its failure lamp saying so.
            QCOMPARE(rowAt(table, r), spans.at(r) ? waiting : cleared);
            if (spans.at(r)) {
                QCOMPARE(table->rowSpan(r, C::TimeColumn), spans.at(r));
                QCOMPARE(table->rowSpan(r, C::FailureColumn), spans.at(r));
            }
        }
        for (int ch = 0; ch < 4; ++ch) {
            const QTimer *timer = view.channelTimer(ch);
            QCOMPARE(timer->isActive() ? timer->interval() : 0, intervals.at(ch));
        }
    }

    void heightFitsAllRows()
    {
        auto *view = new ChannelStateView(nullptr, QStringLiteral("t"));
        auto full = channelSettings(0xF, {});
        for (int c = 0; c < 4; ++c)
            for (int m = 0; m < 8; ++m)
                full->channels[c].meas[m].type = quint16(m + 1);
        view->setSettings(full);
        verifyFitsInACrowdedStack(view);
    }

    void readings_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<Reading>("reading");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("texts"); // value, FS %, Base, Delta

        const QLocale en(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        const quint16 based = flags(0, 0, 0, true);
        QTest::newRow("english") << en << Reading{1, 0.5f, 32768, 16384, based} << "Acceleration"
                                 << "0.500000 m/s\u00B2, 50.00, 25.00, 25.00";
        QTest::newRow("decimal comma")
            << de << Reading{5, 12345.5f, 32768, 16384, based} << "Rotation speed"
            << "12.345,500000 rpm, 50,00, 25,00, 25,00";
        QTest::newRow("unknown type, bare number") << en << Reading{17, 0.5f, 0, 0, 0} << ""
                                                   << "0.500000, 0.00, , ";
        QTest::newRow("below baseline") << en << Reading{2, 4.0f, 6554, 19661, based} << "Velocity"
                                        << "4.000000 mm/s, 10.00, 30.00, -20.00";
        QTest::newRow("no valid baseline")
            << en << Reading{11, -1.5f, 32768, 16384, flags(0, 0, 0, false)}
            << "Phase of Prox Displacement"
            << "-1.500000 \u00B0, 50.00, , ";
        QTest::newRow("failure hides the deviation")
            << en << Reading{4, 1.5f, 32768, 16384, flags(1, 0, 0, true)} << "Gap"
            << "1.500000 V, 50.00, 25.00, ";
        QTest::newRow("undetermined failure keeps the deviation")
            << en << Reading{4, 1.5f, 32768, 16384, flags(-1, 0, 0, true)} << "Gap"
            << "1.500000 V, 50.00, 25.00, 25.00";
        QTest::newRow("zero full scale leaves the percentages empty")
            << en << Reading{4, 1.5f, 100, 50, based, 0} << "Gap"
            << "1.500000 V, , , ";
    }

    void readings()
    {
        QFETCH(QLocale, locale);
        QFETCH(Reading, reading);
        QFETCH(QString, name);
        QLocale::setDefault(locale);

        const Reading &r = reading;
        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        QTableWidget *table = configure(view, channelSettings(1, {{0, 3, r.type}}, r.fullScale));
        view.setChState(makeState(0, 0, {{3, r.type, r.value, r.fs, r.base, r.flags}}));
        QTEST(rowAt(table, 0).section(": ", 1), "texts");
        for (int column : {C::NumberColumn, C::ValueColumn, C::FsColumn, C::DeltaColumn})
            QCOMPARE(table->item(0, column)->toolTip(), name);
    }

    void lamps_data()
    {
        QTest::addColumn<QVector<int>>("statuses");
        QTest::addColumn<int>("alert");
        QTest::addColumn<int>("danger");
        QTest::addColumn<QString>("lamps");

        QTest::newRow("valid data") << QVector<int>{0} << -1 << 0 << "green (Valid data)/off/green";
        QTest::newRow("short circuit")
            << QVector<int>{1} << 0 << 1 << "red (Short circuit)/green/red";
        QTest::newRow("no valid data")
            << QVector<int>{0, 0xFFFF} << 1 << -1 << "off (No valid data)/red/off";
        QTest::newRow("unlisted code keeps the lamp")
            << QVector<int>{1, 3} << 0 << 0 << "red ()/green/green";
        QTest::newRow("unlisted code on a new channel")
            << QVector<int>{0x1234} << 0 << 0 << "off ()/green/green";
        QTest::newRow("listed code after unlisted")
            << QVector<int>{3, 0} << 0 << 0 << "green (Valid data)/green/green";
    }

    void lamps()
    {
        QFETCH(QVector<int>, statuses);
        QFETCH(int, alert);
        QFETCH(int, danger);

        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        QTableWidget *table =
            configure(view, channelSettings(0b11, {{0, 0, 1}, {1, 0, 1}, {1, 1, 2}}));
        // Alert and danger lit first, so that a lamp left alone would show.
        view.setChState(makeState(1, 0xFFFF, {{0, 1, 1.0f, 0, 0, flags(0, 1, 1, false)}}));
        for (int status : statuses)
            view.setChState(makeState(1, quint16(status),
                                      {{0, 1, 1.0f, 0, 0, flags(0, alert, danger, false)}}));
        QTEST(rowAt(table, 1).section(": ", 0, 0), "lamps");
        QCOMPARE(rowAt(table, 0), waiting); // the other channel is not touched
    }

    void repeatedStateTouchesOnlyWhatChanged_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<Meas>("next");
        QTest::addColumn<QList<int>>("cells");  // columns whose items were written
        QTest::addColumn<QStringList>("lamps"); // row/column of the lamps repainted

        const quint16 f = flags(0, 0, 1, true);
        QTest::newRow("same state")
            << 0 << Meas{0, 1, 0.25f, 32768, 16384, f} << QList<int>{} << QStringList{};
        QTest::newRow("value moved") << 0 << Meas{0, 1, 0.5f, 32768, 16384, f}
                                     << QList<int>{C::ValueColumn} << QStringList{};
        QTest::newRow("full-scale share moved")
            << 0 << Meas{0, 1, 0.25f, 40000, 16384, f} << QList<int>{C::DeltaColumn, C::FsColumn}
            << QStringList{};
        QTest::newRow("baseline moved")
            << 0 << Meas{0, 1, 0.25f, 32768, 20000, f} << QList<int>{C::BaseColumn, C::DeltaColumn}
            << QStringList{};
        QTest::newRow("failure hides the deviation")
            << 0 << Meas{0, 1, 0.25f, 32768, 16384, flags(1, 0, 1, true)}
            << QList<int>{C::DeltaColumn} << QStringList{};
        QTest::newRow("alert raised, danger undetermined")
            << 0 << Meas{0, 1, 0.25f, 32768, 16384, flags(0, 1, -1, true)} << QList<int>{}
            << QStringList{"0/3", "0/4"};
        QTest::newRow("open circuit")
            << 2 << Meas{0, 1, 0.25f, 32768, 16384, f} << QList<int>{} << QStringList{"0/2"};
        QTest::newRow("measurement missing")
            << 0 << Meas{5, 1, 0.25f, 32768, 16384, f}
            << QList<int>{C::BaseColumn, C::DeltaColumn, C::FsColumn, C::ValueColumn}
            << QStringList{"0/3", "0/4"};
    }

    void repeatedStateTouchesOnlyWhatChanged()
    {
        QFETCH(int, status);
        QFETCH(Meas, next);

        // A second channel, whose lamps the pushes of the first must leave alone.
        const Settings settings = channelSettings(0b11, {{0, 0, 1}, {1, 0, 1}});
        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        QTableWidget *table = configure(view, settings);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setChState(makeState(0, 0, {{0, 1, 0.25f, 32768, 16384, flags(0, 0, 1, true)}}));
        view.setChState(makeState(1, 0, {{0, 1, 0.25f, 32768, 16384, flags(0, 0, 1, true)}}));
        settle();

        QList<int> written;
        connect(table, &QTableWidget::itemChanged, table, [&written](QTableWidgetItem *item) {
            // The time of the state moves on with the clock; lamps are counted by their paints.
            if (item->column() != C::TimeColumn && !LampDelegate::lampState(item))
                written << item->column();
        });
        LampPaints paints;
        for (int row : {0, 1})
            for (int column : {C::FailureColumn, C::AlertColumn, C::DangerColumn})
                paints.watch(table, row, column);
        view.setChState(makeState(0, quint16(status), {next}));
        settle();
        std::sort(written.begin(), written.end());
        QTEST(written, "cells");
        QTEST(paints.painted(), "lamps");

        // What shows is what a fresh view shows for the same state.
        ChannelStateView fresh(nullptr, QStringLiteral("Module node id 7:"));
        QTableWidget *freshTable = configure(fresh, settings);
        fresh.setChState(makeState(0, quint16(status), {next}));
        QCOMPARE(rowAt(table, 0), rowAt(freshTable, 0));
    }

    void pushedCellsRepaintWhereTheyShow_data()
    {
        QTest::addColumn<int>("above");    // height of what lies above the panel in the stack
        QTest::addColumn<bool>("inSight"); // the changed cell can be seen right after the push
        QTest::newRow("panel in sight") << 0 << true;
        QTest::newRow("only the panel's top in sight") << 250 << true;
        QTest::newRow("panel scrolled out of sight") << 2000 << false;
    }

    void pushedCellsRepaintWhereTheyShow()
    {
        QFETCH(int, above);
        QFETCH(bool, inSight);

        // A stack of panels in a scroll area, as the main window keeps them.
        QScrollArea area;
        auto *stack = new QWidget;
        auto *layout = new QVBoxLayout(stack);
        auto *filler = new QWidget;
        filler->setFixedHeight(qMax(1, above));
        layout->addWidget(filler);
        auto *view = new ChannelStateView(nullptr, QStringLiteral("Module node id 7:"));
        layout->addWidget(view);
        area.setWidgetResizable(true);
        area.setWidget(stack);
        area.resize(520, 400);
        QTableWidget *table = configure(*view, channelSettings(0b1, {{0, 0, 1},
                                                                     {0, 1, 1},
                                                                     {0, 2, 1},
                                                                     {0, 3, 1},
                                                                     {0, 4, 1},
                                                                     {0, 5, 1},
                                                                     {0, 6, 1},
                                                                     {0, 7, 1}}));
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        const quint16 f = flags(0, 0, 0, true);
        view->setChState(makeState(0, 0, {{0, 1, 0.25f, 32768, 16384, f}}));
        settle();

        PaintedRegion painted(table->viewport());
        view->setChState(makeState(0, 0, {{0, 1, 0.5f, 40000, 16384, f}}));
        settle();
        const QRect value = table->visualItemRect(table->item(0, C::ValueColumn));
        const QRect fs = table->visualItemRect(table->item(0, C::FsColumn));
        QCOMPARE(painted.region.contains(value), inSight);
        QCOMPARE(painted.region.contains(fs), inSight);
        // What scrolls into sight later shows the state pushed while it was hidden.
        area.ensureWidgetVisible(table);
        settle();
        QVERIFY(painted.region.contains(value) && painted.region.contains(fs));
        QCOMPARE(rowAt(table, 0), QStringLiteral("green (Valid data)/green/green: "
                                                 "0.500000 m/s\u00B2, 61.04, 25.00, 36.04"));
    }

    void statesWithoutSettingsAreIgnored()
    {
        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        view.setChState(makeState(0, 0, {{0, 1, 1.0f}}));
        view.setSettings(channelSettings(1, {{0, 0, 1}}));
        QVERIFY(!view.setSettings(nullptr));
        view.setChState(makeState(0, 0, {{0, 1, 1.0f}}));
        QCOMPARE(view.findChild<QTableWidget *>()->rowCount(), 0);
        QVERIFY(!view.channelTimer(0));
    }

    void missingValuesAreCleared()
    {
        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        QTableWidget *table =
            configure(view, channelSettings(0b11, {{0, 0, 1}, {0, 2, 2}, {1, 0, 2}}));
        const quint16 f = flags(0, 1, 0, true);
        const auto live = makeState(0, 0, {{0, 1, 0.25f, 32768, 16384, f}, {2, 2, 2.0f, 0, 0, f}});
        const QString liveRow(
            "green (Valid data)/red/green: 0.250000 m/s\u00B2, 50.00, 25.00, 25.00");
        view.setChState(live);
        view.setChState(makeState(1, 0, {{0, 2, 7.0f}}));

        // Slot 2 is missing and slot 5 has no row: row 2 is cleared, slot 5 ignored.
        view.setChState(makeState(0, 0, {{0, 1, 0.25f, 32768, 16384, f}, {5, 1, 9.0f, 0, 0, f}}));
        QCOMPARE(rowAt(table, 0), liveRow);
        QCOMPARE(rowAt(table, 1), cleared);
        // An empty list clears all rows, the status still drives the failure lamp.
        view.setChState(makeState(0, 2, {}));
        QCOMPARE(rowAt(table, 0), QStringLiteral("red (Open circuit)/off/off: , , , "));

        // A channel that falls silent goes stale, still showing when it last reported.
        const QString time = textAt(table, 0, C::TimeColumn);
        QTimer *timer = view.channelTimer(0);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout")); // as when it expires
        QCOMPARE(rowAt(table, 0), waiting);
        QVERIFY(QRegularExpression("^\\d{1,2}:\\d\\d:\\d\\d$").match(time).hasMatch());
        QCOMPARE(textAt(table, 0, C::TimeColumn), time);
        QCOMPARE(rowAt(table, 2),
                 QStringLiteral("green (Valid data)/green/green: 7.000000 mm/s, 0.00, , "));

        // The next state brings it back.
        view.setChState(live);
        QCOMPARE(rowAt(table, 0), liveRow);
        QCOMPARE(timer->interval(), 27000);
        QVERIFY(timer->isActive());

        // A lost connection stops the staleness timers and leaves the readings as they were,
        // but no lamp goes on claiming a condition of a module that is away.
        QVERIFY(QMetaObject::invokeMethod(&view, "connectionLost"));
        for (int ch = 0; ch < 4; ++ch)
            QVERIFY(!view.channelTimer(ch)->isActive());
        QCOMPARE(rowAt(table, 0), "off ()/off/off: " + liveRow.section(": ", 1));
        view.setChState(live);
        QCOMPARE(rowAt(table, 0), liveRow);
    }

    // The captions come from the form, the column numbers from the catalogue: they must agree.
    void languageChangeKeepsTitle()
    {
        ChannelStateView view(nullptr, QStringLiteral("Module node id 7:"));
        QTableWidget *table = configure(view, channelSettings(1, {{0, 0, 3}}));
        QCOMPARE(table->columnCount(), int(C::ColumnCount));
        view.setChState(makeState(0, 0xFFFF, {{0, 3, 2.0f}}));
        const auto header = [table](int column) { return table->horizontalHeaderItem(column); };
        const auto captions = [&header] {
            QStringList texts;
            for (int column = 0; column < C::ColumnCount; ++column)
                texts << header(column)->text();
            return texts;
        };
        QCOMPARE(captions(),
                 QStringList({"№", "Time", "F", "A", "D", "Base", "Delta", "FS %", "Value"}));
        {
            Russian russian;
            QTRY_COMPARE(captions(), QStringList({"№", "Время", "F", "A", "D", "База", "Дельта",
                                                  "% ПШ", "Значение"}));
            QCOMPARE(rowAt(table, 0),
                     QStringLiteral("off (Нет достоверных данных)/green/green: 2.000000 мкм, "
                                    "0.00, , "));
            QCOMPARE(table->item(0, C::NumberColumn)->toolTip(), QStringLiteral("Перемещение"));
            // The condition titles stay English; the legend is translated.
            QCOMPARE(header(C::FailureColumn)->toolTip(),
                     QStringLiteral("Failure:\n  Зелёный - ложь\n  Красный - истина\n"
                                    "  Не горит - Z"));
            QCOMPARE(view.QGroupBox::title(), QStringLiteral("Module node id 7:"));
        }
        QTRY_COMPARE(header(C::TimeColumn)->text(), QStringLiteral("Time"));
        QCOMPARE(header(C::FailureColumn)->toolTip(),
                 QStringLiteral("Failure:\n  Green - False\n  Red - True\n  Off - Z"));
        QCOMPARE(textAt(table, 0, C::ValueColumn), QStringLiteral("2.000000 \u00B5m"));
    }
};

QTEST_MAIN(TestChannelStateView)
#include "tst_channelstateview.moc"
