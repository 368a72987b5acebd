#include "mainwindow.h"
#include "statusdatagram.h"
#include "udpsender.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <time.h>
#include <vector>

constexpr quint16 BenchPort = 49163;

// Costs of the main window's panel stack for a full installation: 32 nodes, each with
// 4 channels of 8 measurements and 8 relays in use. Each figure is the median of several runs,
// with the event queue drained before every run, as the event loop does between datagrams.
class PanelBench : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void arrivalOfAllNodes();
    void fullRebuild();
    void rebuildPhases();
    void pushAllNodes();

private:
    static void settle();
    // Median wall time in ms of `work`, and of the layout and painting it leaves queued.
    static void measure(const char *what, const std::function<void()> &work, int runs = 15);
    void keepNodesAlive();
    void sendAll();

    QTemporaryDir settingsDir;
    MainWindow *window = nullptr;
};

void PanelBench::initTestCase()
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    // Beside any viewer running on the default port.
    window = new MainWindow(nullptr, BenchPort);
    QVERIFY2(window->isListening(), "UDP port 49163 is busy");
    window->setWindowState(Qt::WindowNoState);
    window->resize(1000, 900);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
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

namespace {

// CPU time of this thread: on a machine shared with other jobs it moves far less than wall time.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

void PanelBench::measure(const char *what, const std::function<void()> &work, int runs)
{
    std::vector<double> direct, directCpu, queued, queuedCpu;
    for (int i = 0; i < runs; ++i) {
        settle();
        QElapsedTimer clock;
        clock.start();
        double cpu = threadCpuMs();
        work();
        direct.push_back(clock.nsecsElapsed() / 1e6);
        directCpu.push_back(threadCpuMs() - cpu);
        clock.restart();
        cpu = threadCpuMs();
        settle();
        queued.push_back(clock.nsecsElapsed() / 1e6);
        queuedCpu.push_back(threadCpuMs() - cpu);
    }
    qInfo("%-28s %8.2f ms wall %8.2f ms cpu  (+ %8.2f ms wall %8.2f ms cpu layout and paint), "
          "median of %d",
          what, median(direct), median(directCpu), median(queued), median(queuedCpu), runs);
}

void PanelBench::keepNodesAlive()
{
    // Pushes alone do not restart the silence timers; the nodes must outlive the measurement.
    for (auto &node : window->nodes)
        node.silenceTimer.stop();
}

void PanelBench::sendAll()
{
    UdpSender sender(BenchPort);
    for (quint32 id = 1; id <= MainWindow::NodeCount; ++id) {
        NodeSample node = StatusDatagram::fullNode(id);
        node.relay_status = 0xFF00A5C3; // all eight relays in use
        QVERIFY(sender.send(StatusDatagram::node(node)));
    }
}

void PanelBench::arrivalOfAllNodes()
{
    // All 32 nodes report within one drain of the socket: 32 rebuilds back to back.
    QElapsedTimer clock;
    clock.start();
    sendAll();
    QTRY_VERIFY_WITH_TIMEOUT(window->isPresent(MainWindow::NodeCount - 1), 60000);
    for (int slot = 0; slot < MainWindow::NodeCount; ++slot)
        QTRY_VERIFY_WITH_TIMEOUT(window->isPresent(slot), 60000);
    settle();
    qInfo("%-28s %8.2f ms  (one burst: datagrams to settled screen)", "arrival of 32 nodes",
          clock.nsecsElapsed() / 1e6);
}

void PanelBench::fullRebuild()
{
    measure("full rebuild", [this] { window->rebuildPanels(); });
    QCOMPARE(window->nodesLayout.count(), MainWindow::NodeCount);
    qInfo("%-28s %8d", "  widgets in the panel stack",
          int(window->findChildren<QWidget *>(QStringLiteral("scrollAreaWidgetContents"))
                  .first()
                  ->findChildren<QWidget *>()
                  .size()));
}

void PanelBench::pushAllNodes()
{
    keepNodesAlive();
    int round = 0;
    measure("push of all 32 nodes", [this, &round] {
        // Fresh values and relay states every round, as a running installation sends them.
        ++round;
        for (NodeStatus &msg : window->nodeStatus) {
            for (int c = 0; c < 4; ++c) {
                for (int m = 0; m < 8; ++m) {
                    if (const MeasStatus *meas = measAt(*channelAt(msg, c), m))
                        const_cast<MeasStatus *>(meas)->value += 0.125f * float(round % 7);
                }
            }
            msg.relay.relay_status ^= 0x0000FFFFu;
        }
        for (int slot = 0; slot < MainWindow::NodeCount; ++slot)
            window->pushState(slot);
    });
}

void PanelBench::rebuildPhases()
{
    // Where a rebuild's time goes: tearing the old stack down, then building the new one.
    keepNodesAlive();
    std::vector<double> teardown, build;
    for (int i = 0; i < 9; ++i) {
        settle();
        QElapsedTimer clock;
        clock.start();
        for (auto &node : window->nodes)
            node.present = false;
        window->buildPanels();
        teardown.push_back(clock.nsecsElapsed() / 1e6);
        settle();
        clock.restart();
        for (auto &node : window->nodes)
            node.present = true;
        window->buildPanels();
        build.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(teardown.begin(), teardown.end());
    std::sort(build.begin(), build.end());
    qInfo("%-28s %8.2f ms", "  of which tear down", teardown[teardown.size() / 2]);
    qInfo("%-28s %8.2f ms", "  of which build", build[build.size() / 2]);
    QCOMPARE(window->nodesLayout.count(), MainWindow::NodeCount);
}

QTEST_MAIN(PanelBench)
#include "bench_panels.moc"
