#pragma once

#include <QtGlobal>

#include <memory>

QT_BEGIN_NAMESPACE
class QByteArray;
class QUdpSocket;
QT_END_NAMESPACE

// Sends datagrams to 127.0.0.1:port from an unbound socket of its own, the way a node does.
//
//   UdpSender sender(49153);
//   QVERIFY(sender.send(StatusDatagram::node(node)));
class UdpSender
{
public:
    explicit UdpSender(quint16 port);
    UdpSender(const UdpSender &) = delete;
    UdpSender &operator=(const UdpSender &) = delete;
    ~UdpSender();

    // True when the whole datagram was handed to the network stack.
    bool send(const QByteArray &datagram);
    quint16 port() const { return targetPort; }

private:
    const quint16 targetPort;
    std::unique_ptr<QUdpSocket> socket;
};
