#include "udpsender.h"

#include <QByteArray>
#include <QHostAddress>
#include <QUdpSocket>

UdpSender::UdpSender(quint16 port)
    : targetPort(port)
    , socket(std::make_unique<QUdpSocket>())
{}

UdpSender::~UdpSender() = default;

bool UdpSender::send(const QByteArray &datagram)
{
    return socket->writeDatagram(datagram, QHostAddress(QHostAddress::LocalHost), targetPort) ==
           datagram.size();
}
