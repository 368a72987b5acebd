#include "alarmmodel.h"
#include "eventmodel.h"
#include "journalcontroller.h"
#include "journalformat.h"
#include "journalstore.h"
#include "journalwindow.h"
#include "measurementmodel.h"
#include "trendplot.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

JournalEvent makeEvent(Journal::Kind kind, int node, const QString &from, const QString &to)
{
    JournalEvent e;
    e.kind = kind;
    e.timeMs = QDateTime::currentMSecsSinceEpoch();
    e.installation = QStringLiteral("plant:49153");
    e.node = node;
    e.from = from;
    e.to = to;
    if (kind == Journal::Kind::Alert || kind == Journal::Kind::Danger) {
        e.channel = 2;
        e.slot = 1;
        e.hasValue = true;
        e.value = 7.25f;
        e.unit = QStringLiteral("mm/s");
    }
    return e;
}

QByteArray tool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ORVO_JOURNAL_TOOL), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return "orvo-journal-tool failed: " + process.readAllStandardError();
    return process.readAllStandardOutput();
}

// The CSV of orvo-journal-tool events, as a user gets it in a terminal.
QByteArray toolEvents(const QString &journal, const QStringList &more = {})
{
    return tool(QStringList{QStringLiteral("--journal"), journal, QStringLiteral("events"),
                            QStringLiteral("--format"), QStringLiteral("csv")} +
                more);
}

const TrendKey Bearing{QStringLiteral("plant:49153"), 3, 2, 1};

// Three minutes of one measurement from startMs, in seconds: 0-59 measured, 60-89 not
// recorded at all, 90-119 measured while the channel was open circuit, 120-179 measured.
QVector<TrendInterval> threeMinutes(qint64 startMs)
{
    QVector<TrendInterval> list;
    for (int s = 0; s < 180; ++s) {
        if (s >= 60 && s < 90)
            continue;
        TrendInterval i;
        i.installation = Bearing.installation;
        i.node = Bearing.node;
        i.channel = Bearing.channel;
        i.slot = Bearing.slot;
        i.measType = 2;
        i.startMs = startMs + s * 1000LL;
        i.count = 2;
        const float v = float(s % 7 + 1);
        i.min = v - 0.5f;
        i.max = v + 0.5f;
        i.sum = 2.0 * v;
        i.last = v;
        i.valid = s < 90 || s >= 120;
        list << i;
    }
    return list;
}

// Short rounds: what is checked is that the window follows and retries, not how slowly.
const JournalTiming FastTiming{50, 100};

QString labelText(QWidget *window, const char *name)
{
    auto *label = window->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

} // namespace

class TestJournalWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void alarmThroughRaiseAcknowledgeClear();
    void newEventsAppearLive();
    void exportAndCopyMatchTheTool();
    void pdfReport();
    void unopenableJournal_data();
    void unopenableJournal();
    void trendShowsTheIntervalsWithGaps();
    void trendFollowsThePresent();
    void doubleClickOpensTheTrendAroundTheEvent();
    void chosenMeasurementsSurviveARestart();

private:
    bool write(const QVector<JournalEvent> &events, const QVector<TrendInterval> &intervals = {});
    // A whole minute a while ago, inside what the journal keeps in seconds.
    qint64 minuteAgo() const;
    std::unique_ptr<JournalWindow> openWindow(const JournalLocation &location);

    QTemporaryDir dir;
    JournalLocation location;
    std::unique_ptr<JournalWindow> window;
};

void TestJournalWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    // The user's own settings stay untouched.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));
}

void TestJournalWindow::init()
{
    static int n = 0;
    location.type = JournalLocation::Type::SQLite;
    location.path = dir.filePath(QStringLiteral("journal%1.sqlite").arg(++n));
    QVERIFY(write({makeEvent(Journal::Kind::NodeHeard, 3, QString(), QString())}));
    window = openWindow(location);
    QTRY_VERIFY_WITH_TIMEOUT(labelText(window.get(), "liveLabel").startsWith("Live"), 10000);
}

void TestJournalWindow::cleanup()
{
    window.reset();
}

std::unique_ptr<JournalWindow> TestJournalWindow::openWindow(const JournalLocation &journal)
{
    auto w = std::make_unique<JournalWindow>(journal, nullptr, FastTiming);
    w->show();
    return w;
}

qint64 TestJournalWindow::minuteAgo() const
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    return now - now % 60000 - 2 * 3600 * 1000LL;
}

bool TestJournalWindow::write(const QVector<JournalEvent> &events,
                              const QVector<TrendInterval> &intervals)
{
    JournalStore store;
    QString error;
    if (!store.open(location, JournalStore::Access::ReadWrite, &error)) {
        qWarning() << error;
        return false;
    }
    return store.write(events, intervals, QDateTime::currentMSecsSinceEpoch());
}

void TestJournalWindow::alarmThroughRaiseAcknowledgeClear()
{
    auto *table = window->findChild<QTableView *>(QStringLiteral("alarmTable"));
    QVERIFY(table);
    QCOMPARE(table->model()->rowCount(), 0);
    QVERIFY(write(
        {makeEvent(Journal::Kind::Danger, 3, QStringLiteral("false"), QStringLiteral("true")),
         makeEvent(Journal::Kind::Alert, 4, QStringLiteral("false"), QStringLiteral("true"))}));
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 2, 3000);
    // Newest first: the alert was written after the danger.
    auto state = [&](int row) {
        return table->model()->index(row, AlarmModel::StateColumn).data().toString();
    };
    QCOMPARE(state(0), QStringLiteral("Alert, active, unacknowledged"));
    QCOMPARE(state(1), QStringLiteral("Danger, active, unacknowledged"));
    QCOMPARE(table->model()->index(1, AlarmModel::ValueColumn).data().toString(),
             QStringLiteral("7.25"));
    QCOMPARE(labelText(window.get(), "counterLabel"),
             QStringLiteral("Alarms: 2 active, 2 unacknowledged"));

    // An active alarm nobody has acknowledged blinks: its lamp goes on and off by itself.
    // What the lamp cell shows at its middle, as the screen would.
    auto lampColour = [&](int row) {
        const QRect cell = table->visualRect(table->model()->index(row, AlarmModel::LampColumn));
        return table->viewport()->grab(cell).toImage().pixelColor(cell.width() / 2,
                                                                  cell.height() / 2);
    };
    auto lit = [&](int row) { return lampColour(row).red() > 170; };
    QTRY_VERIFY_WITH_TIMEOUT(!lit(1), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(lit(1) && lit(0), 3000);
    // Red for the danger, amber for the alert.
    QVERIFY2(lampColour(1).green() < 60, qPrintable(lampColour(1).name()));
    QVERIFY2(lampColour(0).green() > 120, qPrintable(lampColour(0).name()));
    QCOMPARE(table->model()->index(1, AlarmModel::LampColumn).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Danger, active, unacknowledged"));

    // Acknowledge the danger with a comment; the user cancelling first changes nothing.
    QString asked;
    window->setCommentPrompt([&](QWidget *, QString *comment) {
        asked = QStringLiteral("cancelled");
        Q_UNUSED(comment)
        return false;
    });
    table->selectRow(1);
    window->findChild<QPushButton *>(QStringLiteral("ackButton"))->click();
    QCOMPARE(asked, QStringLiteral("cancelled"));
    window->setCommentPrompt([&](QWidget *, QString *comment) {
        *comment = QStringLiteral("bearing checked");
        return true;
    });
    window->findChild<QPushButton *>(QStringLiteral("ackButton"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(state(1), QStringLiteral("Danger, active, acknowledged"), 5000);
    QVERIFY(table->model()
                ->index(1, AlarmModel::AcknowledgedColumn)
                .data()
                .toString()
                .startsWith(JournalController::loginName() + QStringLiteral(" at ")));
    QCOMPARE(labelText(window.get(), "counterLabel"),
             QStringLiteral("Alarms: 2 active, 1 unacknowledged"));
    // Acknowledged, it stays lit instead of blinking.
    // Two looks a blink phase apart: a blinking lamp would be dark at one of them.
    QVERIFY(lit(1));
    QTest::qWait(JournalWindow::BlinkMs + 50);
    QVERIFY(lit(1));

    // Cleared and acknowledged, it leaves the summary and stays in the history.
    QVERIFY(write(
        {makeEvent(Journal::Kind::Danger, 3, QStringLiteral("true"), QStringLiteral("false"))}));
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 1, 3000);
    QCOMPARE(state(0), QStringLiteral("Alert, active, unacknowledged"));
    EventModel *history = window->eventModel();
    QTRY_VERIFY_WITH_TIMEOUT(history->rowCount() >= 5, 3000);
    bool found = false;
    for (int row = 0; row < history->rowCount(); ++row) {
        const JournalEvent &e = history->eventAt(row);
        if (e.kind == Journal::Kind::Danger && e.to == QLatin1String("true")) {
            found = true;
            QCOMPARE(e.ackComment, QStringLiteral("bearing checked"));
        }
    }
    QVERIFY(found);
}

void TestJournalWindow::newEventsAppearLive()
{
    EventModel *history = window->eventModel();
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 1, 3000);
    QElapsedTimer clock;
    QVERIFY(write({makeEvent(Journal::Kind::NodeSilent, 3, QString(), QString())}));
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 2, 3000);
#ifndef ORVO_SANITIZED
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
#endif
    QCOMPARE(history->index(0, EventModel::KindColumn).data().toString(),
             QStringLiteral("node-silent"));
    // A filter that excludes the new kind keeps it out.
    window->findChild<QComboBox *>(QStringLiteral("kindCombo"))
        ->setCurrentIndex(window->findChild<QComboBox *>(QStringLiteral("kindCombo"))
                              ->findText(QStringLiteral("node-heard")));
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 1, 3000);
    QVERIFY(write({makeEvent(Journal::Kind::NodeSilent, 4, QString(), QString()),
                   makeEvent(Journal::Kind::NodeHeard, 4, QString(), QString())}));
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 2, 3000);
    QTest::qWait(3 * FastTiming.pollMs);
    QCOMPARE(history->rowCount(), 2);
    QCOMPARE(history->eventAt(0).node, 4);
}

void TestJournalWindow::exportAndCopyMatchTheTool()
{
    JournalEvent quoted = makeEvent(Journal::Kind::ConfigChanged, 5, QString(), QString());
    quoted.detail = QStringLiteral("gain, \"high\"\tand more");
    QVERIFY(write({quoted, makeEvent(Journal::Kind::Alert, 5, QStringLiteral("false"),
                                     QStringLiteral("true"))}));
    window->findChild<QCheckBox *>(QStringLiteral("alarmsOnlyCheck"))->setChecked(false);
    window->findChild<QComboBox *>(QStringLiteral("rangeCombo"))->setCurrentIndex(0);
    QTRY_COMPARE_WITH_TIMEOUT(window->eventModel()->rowCount(), 3, 3000);

    const QString path = dir.filePath(QStringLiteral("history.csv"));
    QSignalSpy written(window.get(), &JournalWindow::reportWritten);
    window->exportCsv(path);
    QVERIFY(written.wait(5000));
    QCOMPARE(written.first().at(0).toBool(), true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray exported = file.readAll();
    QCOMPARE(exported, toolEvents(location.path));

    // Only the alarms, by the filter bar.
    window->findChild<QCheckBox *>(QStringLiteral("alarmsOnlyCheck"))->setChecked(true);
    QTRY_COMPARE_WITH_TIMEOUT(window->eventModel()->rowCount(), 1, 3000);
    written.clear();
    window->exportCsv(path);
    QVERIFY(written.wait(5000));
    QFile again(path);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), toolEvents(location.path, {QStringLiteral("--alarms")}));

    // Copy: the header line, then the selected row with its tab turned into a space.
    window->findChild<QCheckBox *>(QStringLiteral("alarmsOnlyCheck"))->setChecked(false);
    QTRY_COMPARE_WITH_TIMEOUT(window->eventModel()->rowCount(), 3, 3000);
    window->findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(1);
    auto *table = window->findChild<QTableView *>(QStringLiteral("eventTable"));
    table->selectRow(1);
    window->copySelection();
    const QStringList lines =
        QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).split(QLatin1Char('\t')).value(EventModel::KindColumn),
             QStringLiteral("Kind"));
    QCOMPARE(lines.at(1).split(QLatin1Char('\t')).value(EventModel::DetailColumn),
             QStringLiteral("gain, \"high\" and more"));
}

void TestJournalWindow::pdfReport()
{
    const QString path = dir.filePath(QStringLiteral("history.pdf"));
    QSignalSpy written(window.get(), &JournalWindow::reportWritten);
    window->exportPdf(path);
    QVERIFY(written.wait(10000));
    QCOMPARE(written.first().at(0).toBool(), true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
}

void TestJournalWindow::unopenableJournal_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not a journal") << QByteArray("this is a shopping list\n");
    QTest::newRow("damaged database") << QByteArray("SQLite format 3\0garbage", 24);
}

void TestJournalWindow::unopenableJournal()
{
    QFETCH(QByteArray, content);
    window.reset();
    const QString path = dir.filePath(
        QStringLiteral("broken-%1.sqlite").arg(QTest::currentDataTag()).replace(' ', '-'));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    JournalLocation broken;
    broken.type = JournalLocation::Type::SQLite;
    broken.path = path;
    window = openWindow(broken);
    QTRY_VERIFY_WITH_TIMEOUT(labelText(window.get(), "liveLabel").startsWith("Not live"), 5000);
    QMessageBox *box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = window->findChild<QMessageBox *>()) != nullptr, 3000);
    QVERIFY(box->isVisible());
    QVERIFY2(box->text().contains(path), qPrintable(box->text()));
    // Left alone: nothing was written into the file that is not a journal.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    // Reconnecting does not pile up messages.
    QTest::qWait(3 * FastTiming.reconnectMs);
    QCOMPARE(window->findChildren<QMessageBox *>().size(), 1);
}

void TestJournalWindow::trendShowsTheIntervalsWithGaps()
{
    const qint64 t0 = minuteAgo();
    JournalEvent raised =
        makeEvent(Journal::Kind::Alert, 3, QStringLiteral("false"), QStringLiteral("true"));
    raised.timeMs = t0 + 20500;
    raised.value = 6.5f;
    QVERIFY(write({raised}, threeMinutes(t0)));
    window->findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(2);
    MeasurementModel *tree = window->measurementModel();
    QTRY_VERIFY_WITH_TIMEOUT(tree->indexOf(Bearing).isValid(), 3000);
    QCOMPARE(tree->indexOf(Bearing).data().toString(), QStringLiteral("1: Velocity, mm/s"));
    QVERIFY(tree->setData(tree->indexOf(Bearing), Qt::Checked, Qt::CheckStateRole));
    TrendPlot *plot = window->trendPlot();
    plot->setRange(t0, t0 + 180000);
    QTRY_VERIFY_WITH_TIMEOUT(plot->trends().size() == 1 && plot->dataFromMs() == t0 &&
                                 plot->dataToMs() == t0 + 180000,
                             3000);
    QCOMPARE(plot->trends()[0].points.size(), 150);
    QVERIFY(plot->pointsWanted() > 180); // one second per point

    // The very intervals the journal gives for the same request.
    JournalStore store;
    QString error;
    QVERIFY(store.open(location, JournalStore::Access::ReadOnly, &error));
    QVector<TrendPoint> expected;
    QVERIFY(JournalQuery(&store).trend(Bearing.installation, 3, 2, 1, t0, t0 + 180000,
                                       plot->pointsWanted(), 0, &expected, &error));
    const QVector<TrendPoint> &got = plot->trends()[0].points;
    QCOMPARE(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].startMs, expected[i].startMs);
        QCOMPARE(got[i].min, expected[i].min);
        QCOMPARE(got[i].max, expected[i].max);
        QCOMPARE(got[i].sum, expected[i].sum);
        QCOMPARE(got[i].valid, expected[i].valid);
    }
    // Drawn in two pieces: the missing and the invalid half minutes are gaps, not zeros.
    const QVector<QVector<QPointF>> pieces = plot->meanRuns(0);
    QCOMPARE(pieces.size(), 2);
    QCOMPARE(pieces[0].first().x(), double(t0));
    QCOMPARE(pieces[0].last().x(), double(t0 + 60000));
    QCOMPARE(pieces[1].first().x(), double(t0 + 120000));
    QCOMPARE(pieces[1].last().x(), double(t0 + 180000));
    // Each interval is drawn flat from its start to its end at its mean.
    for (const QVector<QPointF> &piece : pieces) {
        for (int i = 0; i + 1 < piece.size(); i += 2) {
            const int second = int((qint64(piece[i].x()) - t0) / 1000);
            QCOMPARE(piece[i + 1].x() - piece[i].x(), 1000.0);
            QCOMPARE(piece[i].y(), double(second % 7 + 1));
            QCOMPARE(piece[i + 1].y(), piece[i].y());
        }
    }
    // The raised alert is marked where and at the value it was raised.
    QCOMPARE(plot->marks(0), (QVector<QPointF>{QPointF(double(t0 + 20500), 6.5)}));
}

void TestJournalWindow::trendFollowsThePresent()
{
    // The last half minute of the measurement, up to the second now running.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QVector<TrendInterval> recent = threeMinutes(now - now % 1000 - 179000).mid(120);
    QVERIFY(write({}, recent));
    window->findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(2);
    MeasurementModel *tree = window->measurementModel();
    QTRY_VERIFY_WITH_TIMEOUT(tree->indexOf(Bearing).isValid(), 3000);
    QVERIFY(tree->setData(tree->indexOf(Bearing), Qt::Checked, Qt::CheckStateRole));
    TrendPlot *plot = window->trendPlot();
    const qint64 span = 60000;
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    plot->setRange(end - span, end);
    QTRY_VERIFY_WITH_TIMEOUT(plot->trends().size() == 1 && plot->dataToMs() >= end, 3000);
    QVERIFY(plot->isFollowing());
    const qint64 firstEnd = plot->dataToMs();
    QCOMPARE(plot->trends()[0].points.last().startMs, recent.last().startMs);

    // The next second, written after the plot read: the plot moves on and shows it.
    TrendInterval next = recent.last();
    next.startMs = firstEnd - firstEnd % 1000 + 1000;
    next.min = 40.0f;
    QVERIFY(write({}, {next}));
    QTRY_VERIFY_WITH_TIMEOUT(
        !plot->trends().isEmpty() && plot->trends()[0].points.last().startMs == next.startMs, 5000);
    QVERIFY(plot->dataToMs() > firstEnd);
    QCOMPARE(plot->dataToMs() - plot->dataFromMs(), span);
    QCOMPARE(plot->trends()[0].points.last().min, 40.0f);

    // A range in the past stays where the user put it.
    plot->setRange(now - 3600000, now - 3600000 + span);
    QTRY_COMPARE_WITH_TIMEOUT(plot->dataFromMs(), now - 3600000, 3000);
    QVERIFY(!plot->isFollowing());
}

void TestJournalWindow::doubleClickOpensTheTrendAroundTheEvent()
{
    const qint64 t0 = minuteAgo();
    JournalEvent raised =
        makeEvent(Journal::Kind::Danger, 3, QStringLiteral("false"), QStringLiteral("true"));
    raised.timeMs = t0 + 150000;
    raised.value = 9.5f;
    QVERIFY(write({raised}, threeMinutes(t0)));
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabs"));
    tabs->setCurrentIndex(1);
    EventModel *history = window->eventModel();
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 2, 3000);
    const int dangerRow = history->eventAt(0).kind == Journal::Kind::Danger ? 0 : 1;
    auto *table = window->findChild<QTableView *>(QStringLiteral("eventTable"));
    auto doubleClick = [&](int row) {
        const QPoint at = table->visualRect(history->index(row, EventModel::KindColumn)).center();
        // A view takes a double click only on the row the press went to.
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    };
    // A node's event has no measurement: nothing opens.
    doubleClick(1 - dangerRow);
    QCOMPARE(tabs->currentIndex(), 1);
    doubleClick(dangerRow);
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(window->measurementModel()->chosen(), QVector<TrendKey>{Bearing});
    TrendPlot *plot = window->trendPlot();
    QCOMPARE(plot->fromMs(), raised.timeMs - JournalWindow::TrendAroundEventMs);
    QCOMPARE(plot->toMs(), raised.timeMs + JournalWindow::TrendAroundEventMs);
    QTRY_VERIFY_WITH_TIMEOUT(plot->trends().size() == 1 && plot->dataFromMs() == plot->fromMs() &&
                                 plot->dataToMs() == plot->toMs(),
                             3000);
    QCOMPARE(plot->marks(0), (QVector<QPointF>{QPointF(double(raised.timeMs), 9.5)}));

    // Its CSV is what orvo-journal-tool writes for the same measurement, range and points.
    const QString path = dir.filePath(QStringLiteral("trend.csv"));
    QString error;
    QVERIFY2(plot->exportCsv(path, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray exported = file.readAll();
    QVERIFY2(exported.count('\n') > 10, exported.constData());
    QCOMPARE(exported,
             tool({QStringLiteral("--journal"), location.path, QStringLiteral("trend"),
                   QStringLiteral("--installation"), Bearing.installation, QStringLiteral("--node"),
                   QStringLiteral("3"), QStringLiteral("--channel"), QStringLiteral("2"),
                   QStringLiteral("--slot"), QStringLiteral("1"), QStringLiteral("--from"),
                   JournalFormat::time(plot->fromMs()), QStringLiteral("--to"),
                   JournalFormat::time(plot->toMs()), QStringLiteral("--points"),
                   QString::number(plot->pointsWanted())}));

    // The picture at its export size, and Copy with the same rows as the CSV.
    const QString png = dir.filePath(QStringLiteral("trend.png"));
    QVERIFY2(plot->exportPng(png, &error), qPrintable(error));
    QCOMPARE(QImage(png).size(), QSize(TrendPlot::PngWidth, TrendPlot::PngHeight));
    window->copySelection();
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    QCOMPARE(copied->text().toUtf8(), exported);
    QVERIFY(copied->hasImage());
}

void TestJournalWindow::chosenMeasurementsSurviveARestart()
{
    const TrendKey other{QStringLiteral("plant:49153"), 5, 1, 3};
    QVERIFY(write({}, threeMinutes(minuteAgo())));
    MeasurementModel *tree = window->measurementModel();
    tree->setChosen({other, Bearing});
    window->close();
    window = openWindow(location);
    QCOMPARE(window->measurementModel()->chosen(), (QVector<TrendKey>{other, Bearing}));
    tree = window->measurementModel();
    QTRY_VERIFY_WITH_TIMEOUT(tree->indexOf(Bearing).isValid(), 3000);
    QCOMPARE(tree->indexOf(Bearing).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // Only what the journal holds is drawn.
    QTRY_COMPARE_WITH_TIMEOUT(window->trendPlot()->trends().size(), 1, 3000);
    window->measurementModel()->setChosen({});
    window->close();
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
