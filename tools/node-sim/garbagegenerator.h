#pragma once

#include <QByteArray>

QT_BEGIN_NAMESPACE
class QRandomGenerator;
QT_END_NAMESPACE

// Makes datagrams a receiver must drop: random bytes, or a valid datagram cut short. Every
// result is checked not to decode as a NodeStatus, so garbage never passes for a real node.
class GarbageGenerator
{
public:
    static QByteArray make(QRandomGenerator &rng, const QByteArray &valid);
};
