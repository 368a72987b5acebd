#include "statusreceiver.h"

#include "nodestatusdecoder.h"

#include <QDateTime>
#include <QUdpSocket>

namespace {
// A kernel queue for several seconds of a full installation at 100 Hz, so a slow database
// moment on the GUI thread's side never costs datagrams. Capped by net.core.rmem_max.
constexpr int ReceiveBufferBytes = 8 * 1024 * 1024;
} // namespace

StatusReceiver::StatusReceiver(QObject *parent)
    : QObject(parent)
    , socket(new QUdpSocket(this))
{
    connect(socket, &QUdpSocket::readyRead, this, &StatusReceiver::drain);
}

StatusReceiver::~StatusReceiver() = default;

bool StatusReceiver::listen(quint16 port)
{
    if (!socket->bind(QHostAddress::Any, port, QAbstractSocket::DontShareAddress))
        return false;
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, ReceiveBufferBytes);
    return true;
}

QString StatusReceiver::errorString() const
{
    return socket->errorString();
}

quint16 StatusReceiver::port() const
{
    return socket->localPort();
}

void StatusReceiver::drain()
{
    while (socket->hasPendingDatagrams()) {
        const int pending = int(qMax<qint64>(0, socket->pendingDatagramSize()));
        if (buffer.size() < pending)
            buffer.resize(pending);
        const qint64 size = socket->readDatagram(buffer.data(), pending);
        // A read error with a datagram still reported pending would spin here for ever.
        if (size < 0)
            break;
        NodeStatus msg;
        if (!decodeNodeStatus(buffer.constData(), size, msg) || msg.node_id == 0 ||
            msg.node_id > 32) {
            ++dropped;
            continue;
        }
        ++accepted;
        emit datagramAccepted(msg, QDateTime::currentMSecsSinceEpoch());
    }
}
