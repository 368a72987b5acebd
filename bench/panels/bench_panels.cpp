#include "mainwindow.h"
#include "statusdatagram.h"
#include "udpsender.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <vector>

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
    void pushAllNodes();
    void phases();

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
    window = new MainWindow;
    QVERIFY2(window->isListening(), "UDP port 49153 is busy");
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

void PanelBench::measure(const char *what, const std::function<void()> &work, int runs)
{
    std::vector<double> direct, queued;
    for (int i = 0; i < runs; ++i) {
        settle();
        QElapsedTimer clock;
        clock.start();
        work();
        direct.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        settle();
        queued.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(direct.begin(), direct.end());
    std::sort(queued.begin(), queued.end());
    qInfo("%-28s %8.2f ms  (+ %8.2f ms layout and paint), median of %d", what,
          direct[direct.size() / 2], queued[queued.size() / 2], runs);
}

void PanelBench::keepNodesAlive()
{
    // Pushes alone do not restart the silence timers; the nodes must outlive the measurement.
    for (auto &node : window->nodes)
        node.silenceTimer.stop();
}

void PanelBench::sendAll()
{
    UdpSender sender(MainWindow::ListenPort);
    for (quint32 id = 1; id <= MainWindow::NodeCount; ++id) {
        NodeSpec node = StatusDatagram::fullNode(id);
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
    qInfo("%-28s %8.2f ms  (32 rebuilds, datagrams to settled screen)", "arrival of 32 nodes",
          clock.nsecsElapsed() / 1e6);
}

void PanelBench::fullRebuild()
{
    measure("full rebuild", [this] { window->rebuildPanels(); });
    QCOMPARE(window->nodesLayout.count(), MainWindow::NodeCount);
}

void PanelBench::pushAllNodes()
{
    keepNodesAlive();
    measure("push of all 32 nodes", [this] {
        for (int slot = 0; slot < MainWindow::NodeCount; ++slot)
            window->pushState(slot);
    });
}

void PanelBench::phases()
{
    for (int i = 0; i < 5; ++i) {
        settle();
        QElapsedTimer clock;
        clock.start();
        for (auto &node : window->nodes)
            node.present = false;
        window->rebuildPanels();
        const double del = clock.nsecsElapsed() / 1e6;
        settle();
        clock.restart();
        for (auto &node : window->nodes)
            node.present = true;
        window->rebuildPanels();
        const double create = clock.nsecsElapsed() / 1e6;
        qInfo("delete %.1f create %.1f", del, create);
    }
}

QTEST_MAIN(PanelBench)
#include "bench_panels.moc"
