#include "alarmmodel.h"
#include "eventmodel.h"
#include "historyfilter.h"
#include "journalcontroller.h"
#include "journalstore.h"
#include "measurementmodel.h"
#include "trendfollower.h"
#include "trendplot.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

JournalEvent makeEvent(Journal::Kind kind, qint64 timeMs, int node, const QString &to,
                       const QString &detail = QString())
{
    JournalEvent e;
    e.kind = kind;
    e.timeMs = timeMs;
    e.installation = QStringLiteral("plant:49153");
    e.node = node;
    e.channel = 1;
    e.slot = 1;
    e.from = QStringLiteral("false");
    e.to = to;
    e.detail = detail;
    return e;
}

} // namespace

class TestJournalViewModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rangeToFilter_data();
    void rangeToFilter();
    void textSearchIsLiteral_data();
    void textSearchIsLiteral();
    void pagesLoseNoRowOfEqualTimes();
    void historyModelFetchesEveryPage();
    void alarmModelStates_data();
    void alarmModelStates();
    void trendKeyText_data();
    void trendKeyText();
    void measurementTree();
    void trendRuns_data();
    void trendRuns();
    void zoomStaysWithinItsLimits_data();
    void zoomStaysWithinItsLimits();
    void rangeFollowsThePresent_data();
    void rangeFollowsThePresent();

private:
    QVector<JournalEvent> read(const EventFilter &filter);

    QTemporaryDir dir;
    JournalLocation location;
    std::unique_ptr<TrendPlot> trendPlot; // one for every zoom, as a user zooms
    const qint64 t0 = 1796684180000LL;
    static constexpr int Rows = 1234;
};

void TestJournalViewModels::initTestCase()
{
    QVERIFY(dir.isValid());
    location.type = JournalLocation::Type::SQLite;
    location.path = dir.filePath(QStringLiteral("journal.sqlite"));
    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    QVector<JournalEvent> list;
    // Ten events share each millisecond, so a page boundary falls inside a group of equals.
    for (int i = 0; i < Rows; ++i)
        list << makeEvent(Journal::Kind::NodeHeard, t0 + (i / 10), 1 + i % 32, QString(),
                          QStringLiteral("row %1").arg(i));
    list << makeEvent(Journal::Kind::Alert, t0 + 5000, 3, QStringLiteral("true"),
                      QStringLiteral("50% over_limit"));
    list << makeEvent(Journal::Kind::Alert, t0 + 5001, 4, QStringLiteral("true"),
                      QStringLiteral("50 percent overXlimit"));
    QVERIFY(store.write(list, {}, t0));
}

QVector<JournalEvent> TestJournalViewModels::read(const EventFilter &filter)
{
    JournalStore store;
    QString error;
    QVector<JournalEvent> out;
    if (!store.open(location, JournalStore::Access::ReadOnly, &error))
        return out;
    JournalQuery(&store).events(filter, &out, &error);
    return out;
}

void TestJournalViewModels::rangeToFilter_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    const qint64 hour = 3600 * 1000LL;
    QTest::newRow("all") << int(HistoryFilter::Range::All) << qint64(0) << qint64(0);
    QTest::newRow("last hour") << int(HistoryFilter::Range::LastHour) << t0 - hour << qint64(0);
    QTest::newRow("last 24 hours")
        << int(HistoryFilter::Range::LastDay) << t0 - 24 * hour << qint64(0);
    QTest::newRow("last 7 days") << int(HistoryFilter::Range::LastWeek) << t0 - 168 * hour
                                 << qint64(0);
    QTest::newRow("last 30 days") << int(HistoryFilter::Range::LastMonth) << t0 - 720 * hour
                                  << qint64(0);
    QTest::newRow("from to") << int(HistoryFilter::Range::Custom) << qint64(1000) << qint64(2000);
}

void TestJournalViewModels::rangeToFilter()
{
    QFETCH(int, range);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    HistoryFilter h;
    h.range = HistoryFilter::Range(range);
    h.fromMs = 1000;
    h.toMs = 2000;
    h.installation = QStringLiteral("  plant:49153 ");
    h.text = QStringLiteral(" over ");
    const EventFilter f = h.toEventFilter(t0);
    QCOMPARE(f.fromMs, from);
    QCOMPARE(f.toMs, to);
    QCOMPARE(f.installation, QStringLiteral("plant:49153"));
    QCOMPARE(f.text, QStringLiteral("over"));
    QCOMPARE(HistoryFilter::rangeFromKey(HistoryFilter::rangeKey(h.range)), h.range);
}

void TestJournalViewModels::textSearchIsLiteral_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVector<int>>("nodes");
    QTest::newRow("percent sign matches itself") << "50%" << QVector<int>{3};
    QTest::newRow("underscore matches itself") << "over_limit" << QVector<int>{3};
    QTest::newRow("case ignored") << "OVER" << QVector<int>{3, 4};
    QTest::newRow("quote and semicolon are text")
        << "'; DROP TABLE journal_events; --" << QVector<int>{};
    QTest::newRow("kind name") << "alert" << QVector<int>{3, 4};
}

void TestJournalViewModels::textSearchIsLiteral()
{
    QFETCH(QString, text);
    QFETCH(QVector<int>, nodes);
    EventFilter f;
    f.text = text;
    QVector<int> found;
    for (const JournalEvent &e : read(f))
        found << e.node;
    QCOMPARE(found, nodes);
    QCOMPARE(read(EventFilter()).size(), Rows + 2);
}

void TestJournalViewModels::pagesLoseNoRowOfEqualTimes()
{
    // Walk the journal newest first, seven rows a page, as the history does.
    EventFilter f;
    f.kinds = {Journal::Kind::NodeHeard};
    f.limit = 7;
    QVector<qint64> seen;
    for (;;) {
        QVector<JournalEvent> page = read(f);
        if (page.isEmpty())
            break;
        std::reverse(page.begin(), page.end());
        for (const JournalEvent &e : qAsConst(page))
            seen << e.id;
        f.beforeTimeMs = page.last().timeMs;
        f.beforeId = page.last().id;
    }
    QCOMPARE(seen.size(), Rows);
    QCOMPARE(QSet<qint64>(seen.cbegin(), seen.cend()).size(), Rows);
    QVERIFY(std::is_sorted(seen.crbegin(), seen.crend()));
}

void TestJournalViewModels::historyModelFetchesEveryPage()
{
    JournalController controller(location);
    EventModel model(&controller);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    controller.start();
    model.setFilter(EventFilter());
    QTRY_VERIFY_WITH_TIMEOUT(model.rowCount() > 0, 10000);
    QCOMPARE(model.rowCount(), int(EventModel::PageSize));
    while (model.canFetchMore(QModelIndex()) || model.isLoading()) {
        model.fetchMore(QModelIndex());
        QTest::qWait(5);
    }
    QCOMPARE(model.rowCount(), Rows + 2);
    // Newest first.
    QCOMPARE(model.eventAt(0).node, 4);
    QCOMPARE(model.index(0, EventModel::KindColumn).data().toString(), QStringLiteral("alert"));
    QCOMPARE(model.index(Rows + 1, EventModel::DetailColumn).data().toString(),
             QStringLiteral("row 0"));

    // A new filter forgets what was read and starts again.
    EventFilter alerts;
    alerts.kinds = {Journal::Kind::Alert};
    model.setFilter(alerts);
    QCOMPARE(model.rowCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 2, 10000);
    QVERIFY(model.atEnd());
    const QStringList lines =
        model.tabSeparated({model.index(1, 0), model.index(1, 3), model.index(0, 0)})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).startsWith(QStringLiteral("Id\tTime\tInstallation\tNode")));
    QCOMPARE(lines.at(2).split(QLatin1Char('\t')).value(3), QStringLiteral("3"));
    QCOMPARE(lines.at(1).split(QLatin1Char('\t')).size(), int(EventModel::ColumnCount));
}

void TestJournalViewModels::alarmModelStates_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QString>("ackedBy");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("severity");
    QTest::addColumn<bool>("blinks");
    QTest::newRow("alert active unacknowledged")
        << int(Journal::Kind::Alert) << true << QString() << "Alert, active, unacknowledged"
        << int(AlarmModel::Severity::Alert) << true;
    QTest::newRow("danger active acknowledged")
        << int(Journal::Kind::Danger) << true << "kim"
        << "Danger, active, acknowledged" << int(AlarmModel::Severity::Danger) << false;
    QTest::newRow("danger cleared unacknowledged")
        << int(Journal::Kind::Danger) << false << QString() << "Danger, cleared, unacknowledged"
        << int(AlarmModel::Severity::Danger) << false;
    QTest::newRow("failure is red")
        << int(Journal::Kind::Failure) << true << QString() << "Failure, active, unacknowledged"
        << int(AlarmModel::Severity::Danger) << true;
}

void TestJournalViewModels::alarmModelStates()
{
    QFETCH(int, kind);
    QFETCH(bool, active);
    QFETCH(QString, ackedBy);
    QFETCH(QString, state);
    QFETCH(int, severity);
    QFETCH(bool, blinks);
    AlarmModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    SummaryAlarm s;
    s.alarm.event = makeEvent(Journal::Kind(kind), t0, 7, QStringLiteral("true"));
    s.alarm.event.ackedBy = ackedBy;
    s.alarm.event.ackedAtMs = ackedBy.isEmpty() ? 0 : t0 + 1;
    s.alarm.active = active;
    s.alarm.raisedCount = 3;
    s.measType = 2;
    model.setAlarms({s, s});
    QCOMPARE(model.rowCount(), 2);
    const auto cell = [&](int column, int role = Qt::DisplayRole) {
        return model.index(1, column).data(role);
    };
    QCOMPARE(cell(AlarmModel::StateColumn).toString(), state);
    QCOMPARE(cell(0, AlarmModel::SeverityRole).toInt(), severity);
    QCOMPARE(cell(0, AlarmModel::BlinkRole).toBool(), blinks);
    QCOMPARE(cell(AlarmModel::MeasurementColumn).toString(), QStringLiteral("Velocity"));
    QCOMPARE(cell(AlarmModel::UnitColumn).toString(), QStringLiteral("mm/s"));
    QCOMPARE(cell(AlarmModel::RaisedColumn).toInt(), 3);
    QCOMPARE(model.activeCount(), active ? 2 : 0);
    QCOMPARE(model.unacknowledgedCount(), ackedBy.isEmpty() ? 2 : 0);
}

void TestJournalViewModels::trendKeyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("installation");
    QTest::newRow("plain") << "plant:49153|3|2|1" << true << "plant:49153";
    QTest::newRow("bar in the installation") << "hall|b:49153|32|4|8" << true << "hall|b:49153";
    QTest::newRow("empty installation") << "|1|1|1" << true << "";
    QTest::newRow("node out of range") << "plant|33|1|1" << false << "";
    QTest::newRow("slot 0") << "plant|3|2|0" << false << "";
    QTest::newRow("not a number") << "plant|x|2|1" << false << "";
    QTest::newRow("too few fields") << "3|2|1" << false << "";
}

void TestJournalViewModels::trendKeyText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, installation);
    const TrendKey key = TrendKey::fromString(text);
    QCOMPARE(key.isValid(), valid);
    if (valid) {
        QCOMPARE(key.installation, installation);
        QCOMPARE(key.toString(), text);
    }
}

void TestJournalViewModels::measurementTree()
{
    MeasurementModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto series = [](const char *installation, int node, int channel, int slot, quint32 type) {
        TrendSeries s;
        s.key = TrendKey{QLatin1String(installation), node, channel, slot};
        s.measType = type;
        return s;
    };
    const TrendKey gone{QStringLiteral("old:49153"), 9, 1, 1};
    const TrendKey velocity{QStringLiteral("b:49153"), 3, 2, 1};
    // Chosen before the tree is read, as a restart does; one of them is no longer recorded.
    model.setChosen({gone, velocity});
    QSignalSpy chosen(&model, &MeasurementModel::chosenChanged);
    // Out of order on purpose: the tree sorts.
    model.setSeries({series("b:49153", 3, 2, 2, 4), series("a:49153", 1, 1, 1, 1),
                     series("b:49153", 3, 2, 1, 2), series("b:49153", 4, 1, 1, 2),
                     series("b:49153", 3, 1, 1, 2)});
    QCOMPARE(model.rowCount(), 2);
    const QModelIndex b = model.index(1, 0);
    QCOMPARE(b.data().toString(), QStringLiteral("b:49153"));
    QCOMPARE(model.rowCount(b), 2); // nodes 3 and 4
    const QModelIndex node3 = model.index(0, 0, b);
    QCOMPARE(node3.data().toString(), QStringLiteral("Node 3"));
    QCOMPARE(model.rowCount(node3), 2); // channels 1 and 2
    const QModelIndex channel2 = model.index(1, 0, node3);
    QCOMPARE(channel2.data().toString(), QStringLiteral("Channel 2"));
    QCOMPARE(model.rowCount(channel2), 2);
    const QModelIndex slot1 = model.index(0, 0, channel2);
    QCOMPARE(slot1.data().toString(), QStringLiteral("1: Velocity, mm/s"));
    QCOMPARE(model.index(1, 0, channel2).data().toString(), QStringLiteral("2: Gap, V"));
    QCOMPARE(slot1.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(!(model.flags(channel2) & Qt::ItemIsUserCheckable));
    QCOMPARE(model.indexOf(velocity), slot1);

    // The unknown one stays chosen but is not shown.
    QCOMPARE(model.chosen(), (QVector<TrendKey>{gone, velocity}));
    QCOMPARE(model.shown().size(), 1);
    QCOMPARE(model.shown().first().key, velocity);

    // Checking by the view adds to the end, unchecking removes; the order is the order chosen.
    const QModelIndex gap = model.index(1, 0, channel2);
    QVERIFY(model.setData(gap, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model.setData(slot1, Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(model.chosen(),
             (QVector<TrendKey>{gone, gap.data(MeasurementModel::KeyRole).value<TrendKey>()}));
    QCOMPARE(MeasurementModel::title(model.shown().first()),
             QStringLiteral("Node 3, channel 2, 2: Gap, V"));
    // Rereading the tree keeps what is chosen.
    model.setSeries(model.series());
    QCOMPARE(model.shown().size(), 1);
    QCOMPARE(chosen.count(), 2);
}

void TestJournalViewModels::trendRuns_data()
{
    // Points as (second of start, length in seconds, valid); runs as first, last pairs.
    QTest::addColumn<QVector<QVector<int>>>("points");
    QTest::addColumn<QVector<int>>("runs");
    using P = QVector<QVector<int>>;
    QTest::newRow("none") << P{} << QVector<int>{};
    QTest::newRow("one interval") << P{{0, 60, 1}} << QVector<int>{0, 0};
    QTest::newRow("contiguous") << P{{0, 1, 1}, {1, 1, 1}, {2, 1, 1}} << QVector<int>{0, 2};
    QTest::newRow("missing interval")
        << P{{0, 1, 1}, {1, 1, 1}, {3, 1, 1}} << QVector<int>{0, 1, 2, 2};
    QTest::newRow("invalid in the middle")
        << P{{0, 10, 1}, {10, 10, 0}, {20, 10, 1}} << QVector<int>{0, 0, 2, 2};
    QTest::newRow("invalid at both ends")
        << P{{0, 1, 0}, {1, 1, 1}, {2, 1, 1}, {3, 1, 0}} << QVector<int>{1, 2};
    QTest::newRow("only invalid") << P{{0, 1, 0}, {1, 1, 0}} << QVector<int>{};
}

void TestJournalViewModels::trendRuns()
{
    QFETCH(QVector<QVector<int>>, points);
    QFETCH(QVector<int>, runs);
    QVector<TrendPoint> list;
    for (const QVector<int> &p : points) {
        TrendPoint t;
        t.startMs = t0 + p[0] * 1000LL;
        t.intervalS = p[1];
        t.count = 5;
        t.valid = p[2] != 0;
        list << t;
    }
    QVector<int> flat;
    for (const auto &r : TrendPlot::runs(list))
        flat << r.first << r.second;
    QCOMPARE(flat, runs);
}

void TestJournalViewModels::zoomStaysWithinItsLimits_data()
{
    QTest::addColumn<qint64>("askedMs");
    QTest::addColumn<qint64>("shownMs");
    QTest::addColumn<bool>("byTheAxis"); // as the wheel, the band and the panner change it
    const qint64 year = 365 * 24 * 3600 * 1000LL;
    QTest::newRow("a tenth of a second") << qint64(100) << TrendPlot::MinSpanMs << false;
    QTest::newRow("one second") << qint64(1000) << qint64(1000) << false;
    QTest::newRow("one day") << 86400000LL << 86400000LL << false;
    QTest::newRow("three years") << 3 * year << TrendPlot::MaxSpanMs << false;
    QTest::newRow("wheel to a millisecond") << qint64(1) << TrendPlot::MinSpanMs << true;
    QTest::newRow("wheel to ten years") << 10 * year << TrendPlot::MaxSpanMs << true;
}

void TestJournalViewModels::zoomStaysWithinItsLimits()
{
    QFETCH(qint64, askedMs);
    QFETCH(qint64, shownMs);
    QFETCH(bool, byTheAxis);
    if (!trendPlot) {
        trendPlot = std::make_unique<TrendPlot>();
        trendPlot->resize(800, 400);
        trendPlot->show();
        // It asks for its first range on its own.
        QVERIFY(QSignalSpy(trendPlot.get(), &TrendPlot::viewChanged).wait(3000));
    }
    TrendPlot *plot = trendPlot.get();
    const qint64 middle = t0;
    QSignalSpy asked(plot, &TrendPlot::viewChanged);
    if (byTheAxis) {
        plot->setAxisScale(QwtPlot::xBottom, double(middle - askedMs / 2),
                           double(middle - askedMs / 2 + askedMs));
        plot->replot();
    } else {
        plot->setRange(middle - askedMs / 2, middle - askedMs / 2 + askedMs);
    }
    // One request, once the changes pause, for the range held.
    QTRY_COMPARE_WITH_TIMEOUT(asked.count(), 1, 3000);
    QVERIFY(qAbs(plot->toMs() - plot->fromMs() - shownMs) <= 1);
    QVERIFY(qAbs((plot->fromMs() + plot->toMs()) / 2 - middle) <= 1);
    QCOMPARE(asked.first().at(0).toLongLong(), plot->fromMs());
    QCOMPARE(asked.first().at(2).toInt(), plot->pointsWanted());
    if (byTheAxis) {
        // Holding the range changes the axis once more; that asks no second time.
        QTest::qWait(TrendPlot::QueryDelayMs + 50);
        QCOMPARE(asked.count(), 1);
    }
}

QTEST_MAIN(TestJournalViewModels)
void TestJournalViewModels::rangeFollowsThePresent_data()
{
    QTest::addColumn<qint64>("spanMs");
    QTest::addColumn<qint64>("endMs"); // from now
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("follows");
    QTest::addColumn<qint64>("stepMs");
    const qint64 s = 1000;
    const qint64 day = 86400 * s;
    QTest::newRow("a minute to now") << 60 * s << qint64(0) << 600 << true << s;
    QTest::newRow("a minute moved a second ago") << 60 * s << -s << 600 << true << s;
    QTest::newRow("a minute ended five seconds ago") << 60 * s << -5 * s << 600 << false << s;
    QTest::newRow("an hour, a point is 3 s") << 3600 * s << -2 * s << 1200 << true << 3 * s;
    QTest::newRow("a day ended 20 min ago") << day << -1200 * s << 800 << true << 60 * s;
    QTest::newRow("a day ended an hour ago") << day << -3600 * s << 800 << false << 60 * s;
    QTest::newRow("two years, moved each minute") << 730 * day << -60 * s << 800 << true << 60 * s;
    QTest::newRow("far in the future") << 60 * s << 600 * s << 600 << false << s;
}

void TestJournalViewModels::rangeFollowsThePresent()
{
    QFETCH(qint64, spanMs);
    QFETCH(qint64, endMs);
    QFETCH(int, points);
    QFETCH(bool, follows);
    QFETCH(qint64, stepMs);
    const qint64 now = t0;
    QCOMPARE(TrendFollower::looksAtPresent(now + endMs - spanMs, now + endMs, now, points),
             follows);
    QCOMPARE(TrendFollower::stepMs(spanMs, points), stepMs);
    // Due once a step has passed since the last move, not before.
    QVERIFY(!TrendFollower::due(now - spanMs, now, now, now + stepMs - 1, points));
    QVERIFY(TrendFollower::due(now - spanMs, now, now, now + stepMs, points));
}

#include "tst_journalviewmodels.moc"
