#include "transitiondetector.h"

#include "journalformat.h"
#include "meascatalogue.h"
#include "statusconversion.h"

#include <QStringList>

#include <cstring>

namespace {
using Journal::Kind;

const Kind conditionKinds[3] = {Kind::Failure, Kind::Alert, Kind::Danger};

// The detail of a return to quiet that the node did not report: its item left the configuration.
const char RemovedDetail[] = "removed from the configuration";

// From the low bit up, the bytes of the relay status word, and the kind each one records.
struct RelayGroup
{
    int shift;
    Kind kind;
};
const RelayGroup relayGroups[4] = {{24, Kind::RelayEnabled},
                                   {16, Kind::RelayFault},
                                   {8, Kind::RelayPhysical},
                                   {0, Kind::RelayLogical}};

int condition(quint32 flags, int index)
{
    const int field = int(flags >> (2 * index)) & 3;
    return (field & 2) ? -1 : field;
}

QString bitText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString numberList(quint8 bits, int count)
{
    QStringList numbers;
    for (int i = 0; i < count; ++i) {
        if (bits & (1u << i))
            numbers << QString::number(i + 1);
    }
    return numbers.isEmpty() ? QStringLiteral("none") : numbers.join(QLatin1Char(','));
}

QString typeList(const quint8 (&types)[8])
{
    QStringList entries;
    for (int m = 0; m < 8; ++m) {
        if (types[m])
            entries << QStringLiteral("%1:%2").arg(m + 1).arg(types[m]);
    }
    return entries.isEmpty() ? QStringLiteral("none") : entries.join(QLatin1Char(' '));
}

JournalEvent event(Kind kind, int node, qint64 timeMs)
{
    JournalEvent e;
    e.kind = kind;
    e.node = node;
    e.timeMs = timeMs;
    return e;
}
} // namespace

bool TransitionDetector::Layout::operator==(const Layout &other) const
{
    return channels == other.channels && relays == other.relays &&
           std::memcmp(types, other.types, sizeof types) == 0;
}

TransitionDetector::Layout TransitionDetector::layoutOf(const NodeStatus &msg)
{
    // The facts convertStatus writes into the settings record, so a change here is exactly a
    // change of the record the viewer compares, without building its 6.5 kB per datagram.
    Layout layout;
    for (int c = 0; c < 4; ++c) {
        const ChannelStatus *channel = channelAt(msg, c);
        if (!channel)
            continue;
        layout.channels |= quint8(1u << c);
        for (int m = 0; m < 8; ++m) {
            if (const MeasStatus *meas = measAt(*channel, m))
                layout.types[c][m] = quint8(validMeasType(meas->type));
        }
    }
    if (msg.has_relay)
        layout.relays = quint8(msg.relay.relay_status >> 24);
    return layout;
}

QString TransitionDetector::describe(const Layout &layout)
{
    QStringList parts{QStringLiteral("channels ") + numberList(layout.channels, 4)};
    for (int c = 0; c < 4; ++c) {
        if (layout.channels & (1u << c))
            parts
                << QStringLiteral("channel %1 types %2").arg(c + 1).arg(typeList(layout.types[c]));
    }
    parts << QStringLiteral("relays ") + numberList(layout.relays, 8);
    return parts.join(QStringLiteral("; "));
}

QString TransitionDetector::describeChange(const Layout &from, const Layout &to)
{
    QStringList parts;
    if (from.channels != to.channels)
        parts << QStringLiteral("channels %1 -> %2")
                     .arg(numberList(from.channels, 4), numberList(to.channels, 4));
    for (int c = 0; c < 4; ++c) {
        const bool was = from.channels & (1u << c);
        const bool is = to.channels & (1u << c);
        if (!is || (was && std::memcmp(from.types[c], to.types[c], sizeof to.types[c]) == 0))
            continue;
        parts << QStringLiteral("channel %1 types %2 -> %3")
                     .arg(c + 1)
                     .arg(was ? typeList(from.types[c]) : QStringLiteral("none"),
                          typeList(to.types[c]));
    }
    if (from.relays != to.relays)
        parts << QStringLiteral("relays %1 -> %2")
                     .arg(numberList(from.relays, 8), numberList(to.relays, 8));
    return parts.join(QStringLiteral("; "));
}

QString TransitionDetector::conditionText(int condition)
{
    switch (condition) {
    case 0:
        return QStringLiteral("false");
    case 1:
        return QStringLiteral("true");
    default:
        return QStringLiteral("undetermined");
    }
}

void TransitionDetector::datagram(const NodeStatus &msg, qint64 timeMs, QVector<JournalEvent> *out)
{
    if (msg.node_id == 0 || msg.node_id > quint32(NodeCount))
        return;
    const int node = int(msg.node_id);
    NodeState &state = nodes[node - 1];

    // A datagram after a silence that no check has noticed yet still ends the old presence
    // first, so the rows keep their order whoever polls how often.
    if (state.heard && timeMs - state.lastHeardMs >= SilenceMs)
        checkSilence(timeMs, out);

    const Layout layout = layoutOf(msg);
    const bool first = !state.heard;
    // What the previous datagram described; on first contact nothing, so everything is new.
    const Layout before = first ? Layout() : state.layout;
    if (first) {
        JournalEvent heard = event(Kind::NodeHeard, node, timeMs);
        heard.detail = describe(layout);
        out->append(heard);
    } else if (layout != before) {
        JournalEvent changed = event(Kind::ConfigChanged, node, timeMs);
        changed.detail = describeChange(before, layout);
        out->append(changed);
    }

    // A measurement or channel the configuration no longer has cannot report its return to
    // quiet: it is recorded here, so no alarm of it stays active for ever.
    auto measurementRemoved = [&](int c, int m) {
        qint8 *conditions = state.conditions[c][m];
        for (int k = 0; k < 3; ++k) {
            if (conditions[k] != 0) {
                JournalEvent e = event(conditionKinds[k], node, timeMs);
                e.channel = c + 1;
                e.slot = m + 1;
                e.from = conditionText(conditions[k]);
                e.to = conditionText(0);
                e.detail = QString::fromLatin1(RemovedDetail);
                out->append(e);
            }
            conditions[k] = 0;
        }
    };
    for (int c = 0; c < 4; ++c) {
        const ChannelStatus *channel = channelAt(msg, c);
        const bool wasPresent = before.channels & (1u << c);
        if (!channel) {
            if (!wasPresent)
                continue;
            if (state.channelStatus[c] != 0) {
                JournalEvent e = event(Kind::ChannelStatus, node, timeMs);
                e.channel = c + 1;
                e.from = MeasCatalogue::statusCaptionSource(state.channelStatus[c]);
                e.to = MeasCatalogue::statusCaptionSource(0);
                e.detail = QString::fromLatin1(RemovedDetail);
                out->append(e);
            }
            state.channelStatus[c] = 0;
            for (int m = 0; m < 8; ++m) {
                if (before.types[c][m] != 0)
                    measurementRemoved(c, m);
            }
            continue;
        }
        const bool newChannel = !wasPresent;
        const quint16 status = channelStatusCode(channelStateOf(*channel));
        const quint16 oldStatus = newChannel ? 0 : state.channelStatus[c];
        if (status != oldStatus || (newChannel && status != 0)) {
            JournalEvent e = event(Kind::ChannelStatus, node, timeMs);
            e.channel = c + 1;
            if (!newChannel)
                e.from = MeasCatalogue::statusCaptionSource(oldStatus);
            e.to = MeasCatalogue::statusCaptionSource(status);
            out->append(e);
        }
        state.channelStatus[c] = status;

        for (int m = 0; m < 8; ++m) {
            const quint8 type = layout.types[c][m];
            const MeasStatus *meas = measAt(*channel, m);
            if (!meas || type == 0) {
                if (!newChannel && before.types[c][m] != 0)
                    measurementRemoved(c, m);
                continue;
            }
            const bool newMeas = newChannel || before.types[c][m] == 0;
            qint8 *conditions = state.conditions[c][m];
            for (int k = 0; k < 3; ++k) {
                const int now = condition(meas->flags & 0xFFFF, k);
                const int then = newMeas ? 0 : conditions[k];
                conditions[k] = qint8(now);
                if (now == then && !(newMeas && now != 0))
                    continue;
                JournalEvent e = event(conditionKinds[k], node, timeMs);
                e.channel = c + 1;
                e.slot = m + 1;
                if (!newMeas)
                    e.from = conditionText(then);
                e.to = conditionText(now);
                e.hasValue = true;
                e.value = meas->value;
                e.unit = MeasCatalogue::typeUnitSource(type);
                out->append(e);
            }
        }
    }

    const quint32 word = msg.has_relay ? msg.relay.relay_status : 0;
    for (int r = 0; r < 8; ++r) {
        const bool inUse = layout.relays & (1u << r);
        const bool wasInUse = before.relays & (1u << r);
        if (!inUse) {
            // Taken out of use: its enabled bit went to 0, the one relay row that still says so.
            // Its other bits that were set cannot clear any more: they go back to 0 with it.
            if (wasInUse) {
                for (const RelayGroup &group : relayGroups) {
                    if (group.kind != Kind::RelayEnabled &&
                        !(state.relayWord & (1u << (group.shift + r))))
                        continue;
                    JournalEvent e = event(group.kind, node, timeMs);
                    e.relay = r + 1;
                    e.from = bitText(true);
                    e.to = bitText(false);
                    if (group.kind != Kind::RelayEnabled)
                        e.detail = QString::fromLatin1(RemovedDetail);
                    out->append(e);
                }
            }
            continue;
        }
        for (const RelayGroup &group : relayGroups) {
            const bool now = word & (1u << (group.shift + r));
            const bool then = wasInUse && (state.relayWord & (1u << (group.shift + r)));
            if (now == then && !(!wasInUse && now))
                continue;
            JournalEvent e = event(group.kind, node, timeMs);
            e.relay = r + 1;
            if (wasInUse)
                e.from = bitText(then);
            e.to = bitText(now);
            out->append(e);
        }
    }

    state.heard = true;
    state.lastHeardMs = timeMs;
    state.layout = layout;
    state.relayWord = word;
}

void TransitionDetector::checkSilence(qint64 nowMs, QVector<JournalEvent> *out)
{
    for (int slot = 0; slot < NodeCount; ++slot) {
        NodeState &state = nodes[slot];
        if (!state.heard || nowMs - state.lastHeardMs < SilenceMs)
            continue;
        JournalEvent e = event(Kind::NodeSilent, slot + 1, state.lastHeardMs + SilenceMs);
        e.detail = QStringLiteral("last heard ") + JournalFormat::time(state.lastHeardMs);
        out->append(e);
        // Whatever it said before is forgotten: its return is a first contact.
        state = NodeState();
    }
}

bool TransitionDetector::isHeard(int node) const
{
    return node >= 1 && node <= NodeCount && nodes[node - 1].heard;
}

qint64 TransitionDetector::nextSilenceAt() const
{
    qint64 next = 0;
    for (const NodeState &state : nodes) {
        if (state.heard && (next == 0 || state.lastHeardMs + SilenceMs < next))
            next = state.lastHeardMs + SilenceMs;
    }
    return next;
}
