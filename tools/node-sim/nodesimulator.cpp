#include "nodesimulator.h"

#include "garbagegenerator.h"
#include "nodestatusencoder.h"

#include <QTimer>
#include <QUdpSocket>

#include <cmath>

NodeSimulator::NodeSimulator(const SimInstallation &installation, const SimRunSettings &settings,
                             QObject *parent)
    : QObject(parent)
    , installation(installation)
    , settings(settings)
    , socket(new QUdpSocket(this))
    , timer(new QTimer(this))
    , generator(settings.seed)
    , rng(settings.seed ^ 0x9E3779B9u)
    , wasTalking(installation.nodes.size(), true)
    , wasChanged(installation.nodes.size(), false)
{
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &NodeSimulator::tick);
}

NodeSimulator::~NodeSimulator() = default;

void NodeSimulator::start()
{
    const double rate = settings.rate > 0.0 ? settings.rate : 1.0;
    timer->start(qMax(1, int(std::lround(1000.0 / rate))));
    clock.start();
    running = true;
    // The first round goes out at once, so a viewer sees the nodes without delay.
    QTimer::singleShot(0, this, &NodeSimulator::tick);
}

void NodeSimulator::tick()
{
    if (!running)
        return;
    const double t = double(clock.nsecsElapsed()) / 1e9;
    if (settings.duration > 0.0 && t >= settings.duration) {
        stop();
        return;
    }
    for (int i = 0; i < installation.nodes.size(); ++i) {
        const SimNode &node = installation.nodes[i];
        const bool talking = node.talkingAt(t);
        if (talking != wasTalking[i]) {
            wasTalking[i] = talking;
            emit event(
                QStringLiteral("%1 s: node %2 %3")
                    .arg(t, 0, 'f', 1)
                    .arg(node.id)
                    .arg(talking ? QStringLiteral("talks again") : QStringLiteral("falls silent")));
        }
        const bool changed = node.changeAfter > 0.0 && t >= node.changeAfter;
        if (changed != wasChanged[i]) {
            wasChanged[i] = changed;
            emit event(QStringLiteral("%1 s: node %2 changes its configuration")
                           .arg(t, 0, 'f', 1)
                           .arg(node.id));
        }
        if (!talking)
            continue;
        const QByteArray datagram = NodeStatusEncoder::encode(generator.build(node, t));
        if (!send(node.id, datagram, false))
            return;
        if (settings.garbage > 0.0 && rng.generateDouble() < settings.garbage) {
            if (!send(node.id, GarbageGenerator::make(rng, datagram), true))
                return;
        }
    }
}

bool NodeSimulator::send(quint32 nodeId, const QByteArray &datagram, bool isGarbage)
{
    if (socket->writeDatagram(datagram, settings.host, settings.port) == datagram.size())
        ++(isGarbage ? garbage : valid);
    else
        ++failures;
    emit datagramSent(nodeId, datagram, isGarbage);
    if (settings.count > 0 && valid + garbage + failures >= settings.count) {
        stop();
        return false;
    }
    return true;
}

void NodeSimulator::stop()
{
    if (!running)
        return;
    running = false;
    timer->stop();
    emit finished();
}
