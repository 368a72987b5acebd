#pragma once

#include "siminstallation.h"
#include "statusgenerator.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QVector>

QT_BEGIN_NAMESPACE
class QTimer;
class QUdpSocket;
QT_END_NAMESPACE

struct SimRunSettings
{
    QHostAddress host = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 49153;
    double rate = 5.0;     // datagrams per second and node
    double garbage = 0.0;  // probability of a garbage datagram after each valid one
    qint64 count = 0;      // stop after this many datagrams in all; 0: no limit
    double duration = 0.0; // stop after this many seconds; 0: no limit
    quint32 seed = 1;
    bool verbose = false; // report every datagram, not only the events
};

// Sends the installation's datagrams on a timer until the count or the duration is reached.
class NodeSimulator : public QObject
{
    Q_OBJECT

public:
    NodeSimulator(const SimInstallation &installation, const SimRunSettings &settings,
                  QObject *parent = nullptr);
    ~NodeSimulator() override;

    void start();

    qint64 validSent() const { return valid; }
    qint64 garbageSent() const { return garbage; }
    qint64 sendFailures() const { return failures; }

signals:
    // A line for the operator: a node fell silent, came back, changed its configuration.
    void event(const QString &text);
    void datagramSent(quint32 nodeId, const QByteArray &datagram, bool isGarbage);
    void finished();

private:
    void tick();
    bool send(quint32 nodeId, const QByteArray &datagram, bool isGarbage);
    void stop();

    const SimInstallation installation;
    const SimRunSettings settings;
    QUdpSocket *const socket;
    QTimer *const timer;
    QElapsedTimer clock;
    StatusGenerator generator;
    QRandomGenerator rng;
    QVector<bool> wasTalking;
    QVector<bool> wasChanged;
    qint64 valid = 0;
    qint64 garbage = 0;
    qint64 failures = 0;
    bool running = false;
};
