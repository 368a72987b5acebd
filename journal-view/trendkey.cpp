#include "trendkey.h"

#include <QStringList>

#include <tuple>

bool TrendKey::operator<(const TrendKey &o) const
{
    return std::tie(installation, node, channel, slot) <
           std::tie(o.installation, o.node, o.channel, o.slot);
}

QString TrendKey::toString() const
{
    return QStringLiteral("%1|%2|%3|%4").arg(installation).arg(node).arg(channel).arg(slot);
}

TrendKey TrendKey::fromString(const QString &text)
{
    // The numbers are the last three fields: whatever comes before them is the installation.
    const QStringList parts = text.split(QLatin1Char('|'));
    TrendKey key;
    if (parts.size() < 4)
        return key;
    const int n = parts.size();
    bool ok[3] = {};
    const int node = parts[n - 3].toInt(&ok[0]);
    const int channel = parts[n - 2].toInt(&ok[1]);
    const int slot = parts[n - 1].toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || node < 1 || node > 32 || channel < 1 || channel > 4 ||
        slot < 1 || slot > 8)
        return key;
    key.installation = QStringList(parts.mid(0, n - 3)).join(QLatin1Char('|'));
    key.node = node;
    key.channel = channel;
    key.slot = slot;
    return key;
}
