#pragma once

#include "nodestatus.h"

#include <QByteArray>
#include <QObject>

QT_BEGIN_NAMESPACE
class QUdpSocket;
QT_END_NAMESPACE

// Listens for node status datagrams and hands on every one that decodes and names a node 1..32,
// with its receive time. The port is bound without sharing: unicast datagrams would otherwise
// be split between two receivers and each would record half of the plant.
class StatusReceiver : public QObject
{
    Q_OBJECT

public:
    explicit StatusReceiver(QObject *parent = nullptr);
    ~StatusReceiver() override;

    // False with errorString() set when the port cannot be had.
    bool listen(quint16 port);
    QString errorString() const;
    quint16 port() const;

    quint64 acceptedCount() const { return accepted; }
    quint64 droppedCount() const { return dropped; }

signals:
    // Delivered directly from the drain loop; msg is valid only during the call.
    void datagramAccepted(const NodeStatus &msg, qint64 timeMs);

private:
    void drain();

    QUdpSocket *const socket;
    QByteArray buffer;
    quint64 accepted = 0;
    quint64 dropped = 0;
};
