#include "journalevent.h"

#include <array>
#include <utility>

namespace Journal {

namespace {

// Stored in every journal: a name, once written, never changes.
const std::array<std::pair<Kind, const char *>, 15> &names()
{
    static const std::array<std::pair<Kind, const char *>, 15> table{{
        {Kind::RecordingStarted, "recording-started"},
        {Kind::RecordingStopped, "recording-stopped"},
        {Kind::NodeHeard, "node-heard"},
        {Kind::NodeSilent, "node-silent"},
        {Kind::ConfigChanged, "config-changed"},
        {Kind::ChannelStatus, "channel-status"},
        {Kind::Failure, "failure"},
        {Kind::Alert, "alert"},
        {Kind::Danger, "danger"},
        {Kind::RelayEnabled, "relay-enabled"},
        {Kind::RelayFault, "relay-fault"},
        {Kind::RelayPhysical, "relay-physical"},
        {Kind::RelayLogical, "relay-logical"},
        {Kind::Gap, "gap"},
        {Kind::Acknowledged, "acknowledged"},
    }};
    return table;
}

} // namespace

QString kindName(Kind kind)
{
    for (const auto &entry : names()) {
        if (entry.first == kind)
            return QString::fromLatin1(entry.second);
    }
    return QString();
}

bool kindFromName(const QString &name, Kind *kind)
{
    for (const auto &entry : names()) {
        if (name == QLatin1String(entry.second)) {
            if (kind)
                *kind = entry.first;
            return true;
        }
    }
    return false;
}

QString itemKey(const JournalEvent &e)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(e.installation)
        .arg(e.node)
        .arg(e.channel)
        .arg(e.slot)
        .arg(e.relay)
        .arg(int(e.kind));
}

} // namespace Journal
