// Costs of the main window's panel stack for a full installation: 32 nodes, each with 4 channels
// of 8 measurements and 8 relays in use, fed with the node simulator's states (value, FS % and
// Delta move in every row, relay lamps follow the alarms). Run from a Release build:
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_BENCH=ON
//         -DORVO_BUILD_TESTS=OFF
//   cmake --build build-bench --target bench_panels
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_panels        thread CPU and wall times
//   bench/panels/instruction-counts.sh                             the same figures in instructions
//
// Each figure times only its own work; sending a datagram, and the layout and painting a figure
// leaves queued, stay outside it unless the figure names them. Under valgrind every figure is
// also dumped as callgrind statistics named "<figure>/<operations>", with collection switched on
// only around the measured work (valgrind --tool=callgrind --collect-atstart=no).
#include "mainwindow.h"
#include "nodestatusencoder.h"
#include "siminstallation.h"
#include "statusgenerator.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <pb_decode.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

#include <poll.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_TOGGLE_COLLECT
#define CALLGRIND_DUMP_STATS_AT(label) (void)(label)
#endif

namespace {

// Beside any viewer on the default port; ORVO_BENCH_PORT moves it, so that two runs can overlap.
const quint16 BenchPort = qEnvironmentVariableIsSet("ORVO_BENCH_PORT")
                              ? quint16(qEnvironmentVariableIntValue("ORVO_BENCH_PORT"))
                              : quint16(49163);
// Slot 0 is at the top of the window; slot 16 lies far below what a 900-pixel window shows.
constexpr int InView = 0;
constexpr int OutOfView = 16;
// Unchanged messages per push: the counter runs 0 to 6.
constexpr int PushCycle = 7;

double threadCpuUs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e6 + double(ts.tv_nsec) / 1e3;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool underValgrind()
{
    return RUNNING_ON_VALGRIND;
}

} // namespace

class PanelBench : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void decode();
    void unchangedDatagram();
    void pushInView();
    void pushOutOfView();
    void steadyAverage();
    void rebuild_data();
    void rebuild();
    void pushOfEightRows();

private:
    // Runs work `runs` times, prepare before each run outside the measurement, and reports the
    // median per operation; a run may do several operations (ops).
    static void figure(const QByteArray &name, int runs, int ops,
                       const std::function<void(int)> &prepare,
                       const std::function<void(int)> &work);
    static void settle();
    QByteArray datagram(int slot);
    // Hands one datagram of the slot to the socket and waits until the window could read it.
    void deliver(int slot);
    void drain() { window->readPendingDatagrams(); }
    // Delivers datagrams of the slot, unmeasured, until its next one pushes (or, with
    // wantPush false, does not push).
    void deliverUntil(int slot, bool wantPush);
    void arrivalOfAllNodes();
    bool nextPushes(int slot) const { return window->nodes[slot].refreshCounter > 5; }

    QTemporaryDir settingsDir;
    MainWindow *window = nullptr;
    SimInstallation installation = SimInstallation::full();
    StatusGenerator generator{1};
    double simTime = 1.0;
    QUdpSocket sender;
    QUdpSocket *listener = nullptr;
};

void PanelBench::initTestCase()
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    window = new MainWindow(nullptr, BenchPort);
    QVERIFY2(window->isListening(), "the benchmark's UDP port is busy");
    // Under valgrind a round of 32 nodes takes seconds; no node may fall silent meanwhile.
    window->setSilenceForTest(24 * 3600 * 1000);
    window->setWindowState(Qt::WindowNoState);
    window->resize(1000, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    listener = window->findChild<QUdpSocket *>();
    QVERIFY(listener);
    arrivalOfAllNodes();
}

void PanelBench::cleanupTestCase()
{
    delete window;
}

void PanelBench::settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void PanelBench::figure(const QByteArray &name, int runs, int ops,
                        const std::function<void(int)> &prepare,
                        const std::function<void(int)> &work)
{
    std::vector<double> cpu, wall;
    CALLGRIND_ZERO_STATS;
    for (int run = 0; run < runs; ++run) {
        prepare(run);
        QElapsedTimer clock;
        clock.start();
        const double start = threadCpuUs();
        CALLGRIND_TOGGLE_COLLECT;
        work(run);
        CALLGRIND_TOGGLE_COLLECT;
        cpu.push_back((threadCpuUs() - start) / ops);
        wall.push_back(double(clock.nsecsElapsed()) / 1e3 / ops);
    }
    const QByteArray label = name + '/' + QByteArray::number(runs * ops);
    CALLGRIND_DUMP_STATS_AT(label.constData());
    qInfo("figure %-40s %10.1f us cpu %10.1f us wall  (median of %d)", label.constData(),
          median(cpu), median(wall), runs);
}

QByteArray PanelBench::datagram(int slot)
{
    simTime += 0.01;
    return NodeStatusEncoder::encode(generator.build(installation.nodes[slot], simTime));
}

void PanelBench::deliver(int slot)
{
    const QByteArray bytes = datagram(slot);
    QCOMPARE(sender.writeDatagram(bytes, QHostAddress::LocalHost, BenchPort), qint64(bytes.size()));
    pollfd fd{int(listener->socketDescriptor()), POLLIN, 0};
    QCOMPARE(::poll(&fd, 1, 5000), 1);
}

void PanelBench::deliverUntil(int slot, bool wantPush)
{
    while (nextPushes(slot) != wantPush) {
        deliver(slot);
        drain();
    }
    settle();
}

void PanelBench::arrivalOfAllNodes()
{
    // All 32 nodes report within one drain of the socket, as at start-up.
    QElapsedTimer clock;
    clock.start();
    for (int slot = 0; slot < installation.nodes.size(); ++slot) {
        const QByteArray bytes = datagram(slot);
        QCOMPARE(sender.writeDatagram(bytes, QHostAddress::LocalHost, BenchPort),
                 qint64(bytes.size()));
    }
    for (int slot = 0; slot < MainWindow::NodeCount; ++slot)
        QTRY_VERIFY_WITH_TIMEOUT(window->isPresent(slot), 600000);
    settle();
    qInfo("%-47s %10.1f ms wall", "arrival of 32 nodes, to a settled screen",
          double(clock.nsecsElapsed()) / 1e6);
    // Every node pushed once, so the rows hold values as in a running installation.
    for (int slot = 0; slot < MainWindow::NodeCount; ++slot) {
        deliverUntil(slot, true);
        deliver(slot);
        drain();
    }
    settle();
}

void PanelBench::decode()
{
    const QByteArray bytes = datagram(InView);
    NodeStatus msg;
    const int calls = underValgrind() ? 200 : 20000;
    figure(
        "nanopb decode, 32 rows", 7, calls, [](int) {},
        [&](int) {
            for (int i = 0; i < calls; ++i) {
                pb_istream_t stream = pb_istream_from_buffer(
                    reinterpret_cast<const pb_byte_t *>(bytes.constData()), size_t(bytes.size()));
                if (!pb_decode(&stream, &NodeStatus_msg, &msg))
                    QFAIL("decode");
            }
        });
    qInfo("%-47s %10d bytes", "  datagram of a full node", int(bytes.size()));
}

void PanelBench::unchangedDatagram()
{
    figure(
        "unchanged datagram, 32 rows", underValgrind() ? 30 : 300, 1,
        [this](int) {
            deliverUntil(OutOfView, false);
            deliver(OutOfView);
        },
        [this](int) { drain(); });
}

void PanelBench::pushInView()
{
    const int runs = underValgrind() ? 10 : 60;
    figure(
        "push datagram, 32 rows in view", runs, 1,
        [this](int) {
            deliverUntil(InView, true);
            deliver(InView);
        },
        [this](int) { drain(); });
    figure(
        "  its repaint, 32 rows in view", runs, 1,
        [this](int) {
            deliverUntil(InView, true);
            deliver(InView);
            drain();
        },
        [](int) { settle(); });
}

void PanelBench::pushOutOfView()
{
    const int runs = underValgrind() ? 10 : 60;
    figure(
        "push datagram, 32 rows out of view", runs, 1,
        [this](int) {
            deliverUntil(OutOfView, true);
            deliver(OutOfView);
        },
        [this](int) { drain(); });
    figure(
        "  its repaint, 32 rows out of view", runs, 1,
        [this](int) {
            deliverUntil(OutOfView, true);
            deliver(OutOfView);
            drain();
        },
        [](int) { settle(); });
}

void PanelBench::steadyAverage()
{
    // Every node in turn, as the simulator sends them, each datagram on its own and followed by
    // the repaint it leaves: a whole push cycle of every node, measured twice, once for the
    // drains alone and once with the repaints (as a running viewer spends it).
    const int nodes = MainWindow::NodeCount;
    const int runs = underValgrind() ? 1 : 5;
    for (const bool withRepaint : {false, true}) {
        const QByteArray name =
            withRepaint ? "steady average with repaints, 32 nodes" : "steady average, 32 nodes";
        figure(
            name, runs, nodes * PushCycle, [](int) { settle(); },
            [this, nodes, withRepaint](int) {
                for (int round = 0; round < PushCycle; ++round) {
                    for (int slot = 0; slot < nodes; ++slot) {
                        CALLGRIND_TOGGLE_COLLECT;
                        deliver(slot);
                        CALLGRIND_TOGGLE_COLLECT;
                        drain();
                        if (!withRepaint)
                            CALLGRIND_TOGGLE_COLLECT;
                        settle();
                        if (!withRepaint)
                            CALLGRIND_TOGGLE_COLLECT;
                    }
                }
            });
    }
}

void PanelBench::rebuild_data()
{
    QTest::addColumn<int>("count");
    for (int count : {1, 8, 32})
        QTest::addRow("%d full nodes", count) << count;
}

void PanelBench::rebuild()
{
    QFETCH(int, count);
    const auto present = [this, count] {
        for (int slot = 0; slot < MainWindow::NodeCount; ++slot)
            window->nodes[slot].present = slot < count;
    };
    const int runs = underValgrind() ? 1 : 15;
    const QByteArray nodes = QByteArray::number(count) + " full nodes";
    // A rebuild of what is there already, as when one node's record changes.
    figure(
        "rebuild of " + nodes + ", building", runs, 1,
        [this, &present](int) {
            present();
            window->rebuildPanels();
            settle();
        },
        [this](int) { window->rebuildPanels(); });
    figure(
        "rebuild of " + nodes + ", layout and first paint", runs, 1,
        [this](int) {
            settle();
            window->rebuildPanels();
        },
        [](int) { settle(); });
    for (auto &node : window->nodes)
        node.present = true;
    window->rebuildPanels();
    settle();
    QCOMPARE(window->nodesLayout.count(), MainWindow::NodeCount);
}

void PanelBench::pushOfEightRows()
{
    // The top node loses three of its channels: one channel of eight measurements.
    installation.nodes[InView].channels.resize(1);
    deliver(InView);
    drain();
    deliverUntil(InView, true);
    const int runs = underValgrind() ? 10 : 60;
    figure(
        "push datagram, 8 rows in view", runs, 1,
        [this](int) {
            deliverUntil(InView, true);
            deliver(InView);
        },
        [this](int) { drain(); });
    figure(
        "  its repaint, 8 rows in view", runs, 1,
        [this](int) {
            deliverUntil(InView, true);
            deliver(InView);
            drain();
        },
        [](int) { settle(); });
    const QByteArray bytes = datagram(InView);
    NodeStatus msg;
    const int calls = underValgrind() ? 200 : 20000;
    figure(
        "nanopb decode, 8 rows", 7, calls, [](int) {},
        [&](int) {
            for (int i = 0; i < calls; ++i) {
                pb_istream_t stream = pb_istream_from_buffer(
                    reinterpret_cast<const pb_byte_t *>(bytes.constData()), size_t(bytes.size()));
                if (!pb_decode(&stream, &NodeStatus_msg, &msg))
                    QFAIL("decode");
            }
        });
}

QTEST_MAIN(PanelBench)
#include "bench_panels.moc"
