// Run from a Release build (the window listens on UDP port 49163, beside any viewer on 49153):
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_BENCH=ON
//   cmake --build build-bench --target bench_reception
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_reception --rate 100 --duration 20
//
// The running window fed through a real socket: the node simulator sends 32 full nodes from a
// second thread, and the CPU time of the window's thread per datagram received is set beside
// the decoding of the same datagram in the same run (goal: at most three times the decoding).
// Before that, the heap allocations made while the window drains one unchanged datagram, with
// and without a push into the panels (goal for a datagram without a push: none).
#include "mainwindow.h"
#include "nodesimulator.h"
#include "nodestatusdecoder.h"
#include "nodestatusencoder.h"
#include "siminstallation.h"
#include "statusgenerator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QMetaMethod>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <pb_decode.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <poll.h>

// Every heap allocation of the thread that sets the flag, Qt's included, goes through here.
extern "C" void *__libc_malloc(size_t size);
extern "C" void *__libc_calloc(size_t count, size_t size);
extern "C" void *__libc_realloc(void *p, size_t size);

namespace {

constexpr quint16 BenchPort = 49163;
thread_local bool countAllocations = false;
long allocations = 0;
} // namespace

extern "C" void *malloc(size_t size)
{
    if (countAllocations)
        ++allocations;
    return __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size)
{
    if (countAllocations)
        ++allocations;
    return __libc_calloc(count, size);
}

extern "C" void *realloc(void *p, size_t size)
{
    if (countAllocations)
        ++allocations;
    return __libc_realloc(p, size);
}

namespace {

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Udp: RcvbufErrors of the whole machine.
qint64 kernelDrops()
{
    QFile snmp(QStringLiteral("/proc/net/snmp"));
    if (!snmp.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = snmp.readAll().split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].startsWith("Udp:") || !lines[i + 1].startsWith("Udp:"))
            continue;
        const QList<QByteArray> names = lines[i].simplified().split(' ');
        const QList<QByteArray> values = lines[i + 1].simplified().split(' ');
        const int column = names.indexOf("RcvbufErrors");
        return column >= 0 && column < values.size() ? values[column].toLongLong() : -1;
    }
    return -1;
}

// The drop counter of the socket bound to port, from /proc/net/udp6 (where a socket bound to
// any address lives) or /proc/net/udp.
qint64 socketDrops(quint16 port)
{
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const char *path : {"/proc/net/udp6", "/proc/net/udp"}) {
        QFile udp(QString::fromLatin1(path));
        if (!udp.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : udp.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 12 && fields[1].endsWith(local))
                return fields.last().toLongLong();
        }
    }
    return -1;
}

// CPU seconds per call of decode, as the median of a few batches.
template <typename Decode> double decodeSeconds(const Decode &decode)
{
    std::vector<double> batches;
    constexpr int Calls = 20000;
    for (int b = 0; b < 7; ++b) {
        const double start = threadCpuSeconds();
        for (int i = 0; i < Calls; ++i) {
            if (!decode())
                std::abort();
        }
        batches.push_back((threadCpuSeconds() - start) / Calls);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void waitReadable(const QUdpSocket *socket)
{
    pollfd fd{int(socket->socketDescriptor()), POLLIN, 0};
    ::poll(&fd, 1, 1000);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption rateOpt(QStringLiteral("rate"),
                                     QStringLiteral("Datagrams per second and node."),
                                     QStringLiteral("HZ"), QStringLiteral("100"));
    const QCommandLineOption durationOpt(QStringLiteral("duration"),
                                         QStringLiteral("Seconds measured."), QStringLiteral("S"),
                                         QStringLiteral("20"));
    const QCommandLineOption warmupOpt(QStringLiteral("warmup"),
                                       QStringLiteral("Seconds before the measurement."),
                                       QStringLiteral("S"), QStringLiteral("5"));
    parser.addOptions({rateOpt, durationOpt, warmupOpt});
    parser.process(app);
    const double rate = parser.value(rateOpt).toDouble();
    const double duration = parser.value(durationOpt).toDouble();
    const double warmup = parser.value(warmupOpt).toDouble();

    QTemporaryDir settingsDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    MainWindow window(nullptr, BenchPort);
    if (!window.isListening()) {
        std::fprintf(stderr, "UDP port %d is busy\n", BenchPort);
        return 1;
    }
    window.setWindowState(Qt::WindowNoState);
    window.resize(1000, 900);
    window.show();
    const auto *socket = window.findChild<QUdpSocket *>();

    const SimInstallation installation = SimInstallation::full();
    StatusGenerator generator(1);
    auto datagramOf = [&](int node, double t) {
        return NodeStatusEncoder::encode(generator.build(installation.nodes[node], t));
    };

    // Decoding alone, nanopb's and with the varint walk in front of it.
    const QByteArray sample = datagramOf(16, 1.0);
    NodeStatus msg;
    const double pbDecode = decodeSeconds([&] {
        pb_istream_t stream = pb_istream_from_buffer(
            reinterpret_cast<const pb_byte_t *>(sample.constData()), size_t(sample.size()));
        return pb_decode(&stream, &NodeStatus_msg, &msg);
    });
    const double ownDecode =
        decodeSeconds([&] { return decodeNodeStatus(sample.constData(), sample.size(), msg); });
    std::printf("datagram of a full node          %6d bytes\n", int(sample.size()));
    std::printf("nanopb decode                    %8.2f us\n", pbDecode * 1e6);
    std::printf("decodeNodeStatus (walk + decode) %8.2f us\n", ownDecode * 1e6);

    // Allocations while the window drains one unchanged datagram, called directly so that
    // nothing of the event loop is counted.
    QUdpSocket sender;
    for (int n = 0; n < installation.nodes.size(); ++n)
        sender.writeDatagram(datagramOf(n, 0.5), QHostAddress::LocalHost, BenchPort);
    QElapsedTimer arrival;
    arrival.start();
    while (!window.isPresent(MainWindow::NodeCount - 1) && arrival.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    // Looked up once: a lookup by name allocates.
    const QMetaObject *meta = window.metaObject();
    const QMetaMethod drain = meta->method(meta->indexOfSlot("readPendingDatagrams()"));
    long plainMax = 0, plainSum = 0, pushMax = 0, pushSum = 0;
    int plainCount = 0, pushCount = 0;
    std::vector<double> plainCpu, pushCpu, paintCpu;
    for (int round = 0; round < 14; ++round) {
        for (int n = 0; n < installation.nodes.size(); ++n) {
            sender.writeDatagram(datagramOf(n, 0.6 + 0.01 * round), QHostAddress::LocalHost,
                                 BenchPort);
            waitReadable(socket);
            allocations = 0;
            const double cpu = threadCpuSeconds();
            countAllocations = true;
            drain.invoke(&window, Qt::DirectConnection);
            countAllocations = false;
            (window.refreshCounter(n) == 0 ? pushCpu : plainCpu)
                .push_back(threadCpuSeconds() - cpu);
            // The repaint that a push leaves queued.
            const double paint = threadCpuSeconds();
            QCoreApplication::sendPostedEvents();
            if (window.refreshCounter(n) == 0)
                paintCpu.push_back(threadCpuSeconds() - paint);
            if (window.refreshCounter(n) == 0) {
                pushMax = std::max(pushMax, allocations);
                pushSum += allocations;
                ++pushCount;
            } else {
                plainMax = std::max(plainMax, allocations);
                plainSum += allocations;
                ++plainCount;
            }
        }
    }
    std::printf("allocations, datagram without push  mean %7.3f  max %4ld  (%d datagrams)\n",
                plainCount ? double(plainSum) / plainCount : 0.0, plainMax, plainCount);
    std::printf("allocations, datagram with push     mean %7.3f  max %4ld  (%d datagrams)\n",
                pushCount ? double(pushSum) / pushCount : 0.0, pushMax, pushCount);
    std::printf("drain of one datagram without push  median %8.2f us\n", median(plainCpu) * 1e6);
    std::printf("drain of one datagram with push     median %8.2f us\n", median(pushCpu) * 1e6);
    std::printf("  and the repaint it leaves queued  median %8.2f us\n", median(paintCpu) * 1e6);

    // The nodes fall silent, so that the simulator starts on an empty window as at start-up.
    QElapsedTimer silence;
    silence.start();
    while (window.isPresent(0) && silence.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    // Steady state: the simulator sends from its own thread; this thread only runs the window.
    SimRunSettings run;
    run.rate = rate;
    run.duration = warmup + duration + 1.0;
    QThread senderThread;
    auto *simulator = new NodeSimulator(installation, run);
    simulator->moveToThread(&senderThread);
    QObject::connect(&senderThread, &QThread::finished, simulator, &QObject::deleteLater);
    std::atomic<qint64> sent{0};
    QObject::connect(
        simulator, &NodeSimulator::datagramSent, simulator,
        [&sent](quint32, const QByteArray &, bool) { ++sent; }, Qt::DirectConnection);
    senderThread.start();

    const qint64 kernelBefore = kernelDrops();
    const qint64 socketBefore = socketDrops(BenchPort);
    QMetaObject::invokeMethod(simulator, &NodeSimulator::start, Qt::QueuedConnection);

    double cpuStart = 0, cpuEnd = 0;
    qint64 sentStart = 0, sentEnd = 0, dropStart = 0, dropEnd = 0, wallNs = 0;
    QElapsedTimer wall;
    QTimer::singleShot(int(warmup * 1000), &window, [&] {
        cpuStart = threadCpuSeconds();
        sentStart = sent;
        dropStart = socketDrops(BenchPort);
        wall.start();
    });
    QTimer::singleShot(int((warmup + duration) * 1000), &window, [&] {
        cpuEnd = threadCpuSeconds();
        sentEnd = sent;
        dropEnd = socketDrops(BenchPort);
        wallNs = wall.nsecsElapsed();
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    qint64 failures = 0;
    QMetaObject::invokeMethod(
        simulator, [&failures, simulator] { failures = simulator->sendFailures(); },
        Qt::BlockingQueuedConnection);
    senderThread.quit();
    senderThread.wait();

    const qint64 received = (sentEnd - sentStart) - (dropEnd - dropStart);
    const double perDatagram = received > 0 ? (cpuEnd - cpuStart) / double(received) : 0.0;
    std::printf("steady state: 32 nodes x %g Hz, %g s after %g s\n", rate, duration, warmup);
    std::printf("  datagrams received             %8lld\n", static_cast<long long>(received));
    std::printf("  window thread CPU              %8.1f %% of a core\n",
                100.0 * (cpuEnd - cpuStart) / (double(wallNs) / 1e9));
    std::printf("  per datagram                   %8.2f us  (%.2f x decodeNodeStatus, %.2f x "
                "nanopb decode)\n",
                perDatagram * 1e6, perDatagram / ownDecode, perDatagram / pbDecode);
    std::printf("  send failures                  %8lld\n", static_cast<long long>(failures));
    std::printf("kernel drops from cold start: socket %lld, Udp RcvbufErrors %lld\n",
                static_cast<long long>(socketDrops(BenchPort) - socketBefore),
                static_cast<long long>(kernelDrops() - kernelBefore));
    return 0;
}
