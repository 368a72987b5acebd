#pragma once

#include <QHostAddress>
#include <QUdpSocket>

// Sends datagrams to 127.0.0.1:port from an unbound socket of its own, the way a node does.
class UdpSender
{
public:
    explicit UdpSender(quint16 port)
        : port(port)
    {}
    // A UDP port nobody on this machine listens on right now, for a window under test, so a
    // viewer already running on the default port neither disturbs the test nor is disturbed.
    static quint16 freePort()
    {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::Any, 0, QUdpSocket::DontShareAddress))
            return 0;
        return probe.localPort();
    }

    // True when the whole datagram was handed to the network stack.
    bool send(const QByteArray &datagram)
    {
        return socket.writeDatagram(datagram, QHostAddress(QHostAddress::LocalHost), port) ==
               datagram.size();
    }

private:
    const quint16 port;
    QUdpSocket socket;
};
