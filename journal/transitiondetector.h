#pragma once

#include "journalevent.h"
#include "nodestatus.h"

#include <QVector>
#include <QtGlobal>

// Turns the stream of accepted datagrams into journal events: a node heard or fallen silent,
// a changed configuration, and every change of a channel status, measurement condition or
// relay bit, including states that last a single datagram. Pure bookkeeping: the caller says
// what time it is, so the same input always gives the same rows.
class TransitionDetector
{
public:
    static constexpr int NodeCount = 32;
    static constexpr int SilenceMs = 1000;

    // One accepted datagram (node id 1..32; others are ignored) received at timeMs. Events are
    // appended to *out in the order they happened: node-heard, config-changed, then the
    // channel, measurement and relay transitions in channel, slot and relay order.
    void datagram(const NodeStatus &msg, qint64 timeMs, QVector<JournalEvent> *out);
    // Appends node-silent for every heard node whose last datagram is SilenceMs or more before
    // nowMs, stamped at the moment it fell silent; the node then counts as never heard.
    void checkSilence(qint64 nowMs, QVector<JournalEvent> *out);

    bool isHeard(int node) const;
    // The earliest time at which checkSilence can find a silent node; 0 when none is heard.
    qint64 nextSilenceAt() const;

    // The states as stored: "false", "true", "undetermined" for a 2-bit condition field.
    static QString conditionText(int condition);
    // What a node's datagram describes, for node-heard and config-changed details.
    struct Layout
    {
        quint8 channels = 0;     // bit c: channel c + 1 present
        quint8 types[4][8] = {}; // measurement type code per channel and slot, 0: none
        quint8 relays = 0;       // bit r: relay r + 1 in use

        bool operator==(const Layout &other) const;
        bool operator!=(const Layout &other) const { return !(*this == other); }
    };
    static Layout layoutOf(const NodeStatus &msg);
    static QString describe(const Layout &layout);
    static QString describeChange(const Layout &from, const Layout &to);

private:
    struct NodeState
    {
        bool heard = false;
        qint64 lastHeardMs = 0;
        Layout layout;
        quint16 channelStatus[4] = {};
        qint8 conditions[4][8][3] = {}; // failure, alert, danger
        quint32 relayWord = 0;
    };

    NodeState nodes[NodeCount];
};
