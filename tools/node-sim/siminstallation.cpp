#include "siminstallation.h"

#include "toolcommandline.h"

#include <QStringList>

#include <cmath>

namespace {
// Typical full scale per measurement type, so that values look like the real thing.
double typicalFullScale(quint32 type)
{
    switch (type) {
    case 1: // acceleration, m/s²
    case 6:
    case 13:
        return 50.0;
    case 2: // velocity, mm/s
        return 20.0;
    case 3: // displacement, µm
    case 10:
    case 15:
        return 200.0;
    case 4: // gap, V
        return 20.0;
    case 5: // rotation speed, rpm
        return 6000.0;
    case 7: // phase, °
    case 9:
    case 11:
        return 360.0;
    case 8: // velocity, m/s
    case 14:
        return 0.02;
    case 12: // DC, V
        return 24.0;
    case 16: // deviation, µm
        return 100.0;
    default:
        return 1.0;
    }
}

bool parseList(const QString &text, int low, int high, QVector<int> &out)
{
    out.clear();
    for (const QString &item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int value = item.toInt(&ok);
        if (!ok || value < low || value > high)
            return false;
        out.append(value);
    }
    return true;
}

bool parseSeconds(const QString &text, double &out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && std::isfinite(out) && out >= 0.0;
}
} // namespace

bool SimNode::talkingAt(double t) const
{
    if (silentAfter <= 0.0)
        return true;
    if (backAfter <= 0.0)
        return t < silentAfter;
    return std::fmod(t, silentAfter + backAfter) < silentAfter;
}

bool SimNode::trippedAt(double t) const
{
    return tripEvery > 0.0 && std::fmod(t, tripEvery) >= tripEvery - tripLength;
}

QVector<SimChannel> SimNode::channelsAt(double t) const
{
    if (changeAfter <= 0.0 || t < changeAfter)
        return channels;
    QVector<SimChannel> changed = channels;
    bool added = false;
    for (SimChannel &channel : changed) {
        for (int slot = 1; slot <= 8 && !added; ++slot) {
            bool used = false;
            for (const SimMeasurement &meas : channel.meas)
                used = used || meas.slot == slot;
            if (!used) {
                const quint32 type = quint32(slot * 3 % 16 + 1);
                channel.meas.append(SimInstallation::typicalMeasurement(slot, type, int(id)));
                added = true;
            }
        }
    }
    for (int number = 1; number <= 4 && !added; ++number) {
        bool used = false;
        for (const SimChannel &channel : changed)
            used = used || channel.number == number;
        if (!used) {
            changed.append(SimInstallation::typicalChannel(number, {1, 2}, int(id)));
            added = true;
        }
    }
    return changed;
}

SimMeasurement SimInstallation::typicalMeasurement(int slot, quint32 type, int seedIndex)
{
    SimMeasurement meas;
    meas.slot = slot;
    meas.type = type;
    meas.fullScale = typicalFullScale(type);
    const double fs = meas.fullScale;
    Waveform &w = meas.value;
    w.shape = slot % 3 == 0 ? Waveform::Shape::Ramp : Waveform::Shape::Sine;
    w.offset = 0.45 * fs;
    // Higher slots swing further, the last ones slightly beyond full scale.
    w.amplitude = (0.25 + 0.04 * slot) * fs;
    w.period = 15.0 + 5.0 * ((seedIndex + slot) % 5);
    w.phase = std::fmod(0.13 * seedIndex + 0.11 * slot, 1.0);
    w.noise = 0.02 * fs;
    meas.baseline = 0.4 * fs;
    return meas;
}

SimChannel SimInstallation::typicalChannel(int number, const QVector<quint32> &types, int seedIndex)
{
    SimChannel channel;
    channel.number = number;
    for (int i = 0; i < types.size() && i < 8; ++i)
        channel.meas.append(typicalMeasurement(i + 1, types[i], seedIndex * 4 + number));
    return channel;
}

SimInstallation SimInstallation::demo()
{
    SimInstallation installation;

    SimNode icp;
    icp.id = 1;
    icp.channels = {typicalChannel(1, {1, 2, 3, 13}, 1), typicalChannel(2, {2, 5, 14}, 1)};
    icp.channels[1].faultEvery = 30.0; // short and open circuits in turn
    icp.channels[1].faultLength = 5.0;
    // Too short for the panels, which show one datagram in seven; the journal keeps it.
    icp.blipEvery = 10.0;
    installation.nodes.append(icp);

    SimNode mixed;
    mixed.id = 2;
    mixed.channels = {typicalChannel(1, {4, 12}, 2), typicalChannel(3, {1, 6, 7}, 2)};
    mixed.hasRelay = true;
    mixed.relaysInUse = 0x0F;
    mixed.changeAfter = 45.0;
    installation.nodes.append(mixed);

    SimNode relays;
    relays.id = 5;
    relays.hasRelay = true;
    relays.relaysInUse = 0xFF;
    relays.tripEvery = 15.0;
    relays.tripLength = 0.5;
    installation.nodes.append(relays);

    SimNode intermittent;
    intermittent.id = 7;
    intermittent.channels = {typicalChannel(1, {2, 16}, 7)};
    intermittent.silentAfter = 20.0;
    intermittent.backAfter = 6.0;
    installation.nodes.append(intermittent);

    return installation;
}

SimInstallation SimInstallation::full()
{
    SimInstallation installation;
    for (quint32 id = 1; id <= 32; ++id) {
        SimNode node;
        node.id = id;
        for (int number = 1; number <= 4; ++number) {
            QVector<quint32> types;
            for (int m = 0; m < 8; ++m)
                types.append(quint32((int(id) + number + 2 * m) % 16 + 1));
            node.channels.append(typicalChannel(number, types, int(id)));
        }
        node.hasRelay = true;
        node.relaysInUse = 0xFF;
        installation.nodes.append(node);
    }
    return installation;
}

SimInstallation SimInstallation::outOfRangeIds()
{
    SimInstallation installation;
    for (quint32 id : {0u, 33u, 0xFFFFFFFFu}) {
        SimNode node;
        node.id = id;
        node.channels = {typicalChannel(1, {1}, int(id % 64))};
        node.hasRelay = true;
        node.relaysInUse = 0x01;
        installation.nodes.append(node);
    }
    return installation;
}

bool SimInstallation::parseNode(const QString &description, SimNode &node, QString *error)
{
    auto fail = [error, &description](const QString &reason) {
        if (error)
            *error = QStringLiteral("bad node description \"%1\": %2").arg(description, reason);
        return false;
    };
    const QStringList parts = description.split(QLatin1Char(':'));
    node = SimNode();
    quint64 id = 0;
    if (!ToolCommandLine::parseUInt(parts.front(), 0xFFFFFFFFu, id))
        return fail(QStringLiteral("the node id must be a number from 0 to 4294967295"));

    node.id = quint32(id);

    QVector<int> channelNumbers;
    QVector<int> types{1, 2};
    double faultEvery = 0.0;
    for (int i = 1; i < parts.size(); ++i) {
        const int eq = parts[i].indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(QStringLiteral("\"%1\" is not key=value").arg(parts[i]));
        const QString key = parts[i].left(eq);
        const QString value = parts[i].mid(eq + 1);
        if (key == QLatin1String("ch")) {
            if (!parseList(value, 1, 4, channelNumbers))
                return fail(QStringLiteral("ch takes channel numbers 1 to 4, e.g. ch=1,3"));
        } else if (key == QLatin1String("types")) {
            if (!parseList(value, 0, 255, types) || types.size() > 8)
                return fail(QStringLiteral("types takes up to 8 type codes, e.g. types=1,2,5"));
        } else if (key == QLatin1String("relays")) {
            const bool mask = value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
            quint64 n = 0;
            if (!ToolCommandLine::parseUInt(value, mask ? 0xFFu : 8u, n))
                return fail(QStringLiteral("relays takes a count 0 to 8 or a mask 0x00 to 0xFF"));
            node.hasRelay = true;
            node.relaysInUse = mask ? quint8(n) : quint8((1u << n) - 1);
        } else if (key == QLatin1String("silent")) {
            if (!parseSeconds(value, node.silentAfter))
                return fail(QStringLiteral("silent takes seconds"));
        } else if (key == QLatin1String("back")) {
            if (!parseSeconds(value, node.backAfter))
                return fail(QStringLiteral("back takes seconds"));
        } else if (key == QLatin1String("change")) {
            if (!parseSeconds(value, node.changeAfter))
                return fail(QStringLiteral("change takes seconds"));
        } else if (key == QLatin1String("blip")) {
            if (!parseSeconds(value, node.blipEvery))
                return fail(QStringLiteral("blip takes seconds"));
        } else if (key == QLatin1String("trip")) {
            const QStringList times = value.split(QLatin1Char(','));
            if (times.size() > 2 || !parseSeconds(times[0], node.tripEvery) ||
                (times.size() == 2 && !parseSeconds(times[1], node.tripLength)) ||
                (node.tripEvery > 0.0 && node.tripLength >= node.tripEvery))
                return fail(QStringLiteral("trip takes seconds between trips and, optionally, "
                                           "how long each lasts, shorter: e.g. trip=20,2"));
        } else if (key == QLatin1String("fault")) {
            if (!parseSeconds(value, faultEvery) || (faultEvery > 0.0 && faultEvery < 2.0))
                return fail(QStringLiteral("fault takes seconds, at least 2"));
        } else {
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    QVector<quint32> typeCodes;
    for (int type : types)
        typeCodes.append(quint32(type));
    for (int number : channelNumbers) {
        for (const SimChannel &channel : node.channels)
            if (channel.number == number)
                return fail(QStringLiteral("channel %1 is given twice").arg(number));
        SimChannel channel = typicalChannel(number, typeCodes, int(node.id % 64));
        channel.faultEvery = faultEvery;
        channel.faultLength = qMin(4.0, faultEvery / 2.0);
        node.channels.append(channel);
    }
    return true;
}
