#pragma once

#include "waveform.h"

#include <QString>
#include <QVector>
#include <QtGlobal>

// One simulated measurement: its type, how its value moves, and the thresholds that turn
// the value into condition flags (fractions of full scale).
struct SimMeasurement
{
    int slot = 1;           // 1..8
    quint32 type = 1;       // 1..16; others are sent as given
    double fullScale = 1.0; // value that is 100 % of full scale
    Waveform value;
    double baseline = 0.0; // in the unit of the value
    double alert = 0.6;    // fraction of full scale
    double danger = 0.8;   // fraction of full scale
};

// One channel: its measurements and, optionally, recurring input faults.
struct SimChannel
{
    int number = 1; // 1..4
    QVector<SimMeasurement> meas;
    double faultEvery = 0.0;  // seconds between input faults; 0: never
    double faultLength = 4.0; // seconds a fault lasts
};

// One node: what it sends and when it misbehaves.
struct SimNode
{
    quint32 id = 1;
    QVector<SimChannel> channels;
    quint8 relaysInUse = 0;   // bit r: relay r + 1 is enabled
    bool hasRelay = false;    // the message carries relay (even with no relay enabled)
    double silentAfter = 0.0; // seconds of talking before the node falls silent; 0: never
    double backAfter = 0.0;   // seconds of silence before it talks again; 0: never returns
    double changeAfter = 0.0; // seconds after which the configuration changes once; 0: never
    // Every blipEvery seconds the first measurement of the first channel reports alert and
    // danger in one single datagram; 0: never.
    double blipEvery = 0.0;
    // Every tripEvery seconds the lowest relay in use trips (logical and physical state 1) for
    // tripLength seconds and resets; 0: never.
    double tripEvery = 0.0;
    double tripLength = 1.0;

    // Whether the node sends at t seconds: it talks for silentAfter, is silent for backAfter,
    // and so on.
    bool talkingAt(double t) const;
    // The channels in effect at t: after changeAfter every channel gets one more measurement
    // in its first free slot, or, when all are full, the next free channel is added.
    QVector<SimChannel> channelsAt(double t) const;
    // Whether the scheduled relay trip holds at t.
    bool trippedAt(double t) const;
};

// The nodes of a simulated installation, from a built-in preset or node descriptions.
class SimInstallation
{
public:
    QVector<SimNode> nodes;

    // Four nodes: two ICP channels with moving values and an input fault; channels with
    // relays and a configuration change; relays only; a node that falls silent and returns.
    static SimInstallation demo();
    // 32 nodes, each with 4 channels of 8 measurements and 8 relays in use.
    static SimInstallation full();
    // Node ids 0, 33 and 4294967295, which a viewer must drop.
    static SimInstallation outOfRangeIds();

    // A node from a description such as "3:ch=1,2:types=1,2,5:relays=4:silent=10:back=5";
    // see the program's --help. Returns false with a reason in *error.
    static bool parseNode(const QString &description, SimNode &node, QString *error);

    // A measurement of the given type in the given slot with a typical full scale and a value
    // that swings through the alert and danger thresholds.
    static SimMeasurement typicalMeasurement(int slot, quint32 type, int seedIndex);
    static SimChannel typicalChannel(int number, const QVector<quint32> &types, int seedIndex);
};
