#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// What the journal records: one row per transition, per start and stop of recording, per
// acknowledgement and per batch of events that could not be kept.
namespace Journal {

enum class Kind {
    RecordingStarted,
    RecordingStopped,
    NodeHeard,
    NodeSilent,
    ConfigChanged,
    ChannelStatus,
    Failure,
    Alert,
    Danger,
    RelayEnabled,
    RelayFault,
    RelayPhysical,
    RelayLogical,
    Gap,
    Acknowledged,
};

// The kind's name as stored and printed ("recording-started", "node-heard", "channel-status",
// "relay-fault", "gap", ...); the one place the names are written.
QString kindName(Kind kind);
// False for a name that is no kind.
bool kindFromName(const QString &name, Kind *kind);

} // namespace Journal

struct JournalEvent
{
    qint64 id = 0;     // given by the journal when stored; 0 before
    qint64 timeMs = 0; // receive time, milliseconds since the epoch (UTC)
    QString installation;
    int node = 0;    // 1..32, 0 where it does not apply
    int channel = 0; // 1..4, 0 where it does not apply
    int slot = 0;    // measurement slot 1..8, 0 where it does not apply
    int relay = 0;   // 1..8, 0 where it does not apply
    Journal::Kind kind = Journal::Kind::Gap;
    QString from; // empty: no previous state (first contact, or what a configuration adds)
    QString to;
    bool hasValue = false;
    float value = 0.0f; // the measured value at that datagram, where it applies
    QString unit;
    QString detail;
    // Filled when read back: the acknowledgement of this event, if any.
    QString ackedBy;
    qint64 ackedAtMs = 0;
    QString ackComment;
};

namespace Journal {
// What an event is about: its installation, node, channel, slot, relay and kind. Alarms of the
// same item are counted together.
QString itemKey(const JournalEvent &event);
} // namespace Journal

// Exact statistics of one measurement over one interval; the finest tier is 1 s.
struct TrendInterval
{
    QString installation;
    int node = 0;         // 1..32
    int channel = 0;      // 1..4
    int slot = 0;         // 1..8
    quint32 measType = 0; // the measurement type code, for names and units
    qint64 startMs = 0;   // interval start, milliseconds since the epoch, aligned to its length
    int intervalS = 1;
    quint32 count = 0;
    float min = 0.0f;
    float max = 0.0f;
    double sum = 0.0; // mean = sum / count, kept as a sum so roll-ups stay exact
    float last = 0.0f;
    bool valid = true; // the channel reported "Valid data" throughout
};

Q_DECLARE_METATYPE(JournalEvent)
Q_DECLARE_METATYPE(QVector<JournalEvent>)
Q_DECLARE_METATYPE(TrendInterval)
Q_DECLARE_METATYPE(QVector<TrendInterval>)
