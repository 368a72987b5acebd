#include "consoletext.h"

#include "chstate.h"
#include "meascatalogue.h"
#include "relayname.h"
#include "relayword.h"
#include "t_orvo_settings.h"

#include <QStringList>

#include <cstring>

namespace ConsoleText {

bool parsePointFormat(const QString &name, PointFormat &format)
{
    static const struct
    {
        const char *name;
        PointFormat format;
    } names[] = {{"float", PointFormat::Float},
                 {"int", PointFormat::Int},
                 {"uint", PointFormat::UInt},
                 {"hex", PointFormat::Hex}};
    for (const auto &n : names) {
        if (name == QLatin1String(n.name)) {
            format = n.format;
            return true;
        }
    }
    return false;
}

QString pointsCsv(const QVector<quint32> &points, PointFormat format)
{
    QString text = format == PointFormat::Combined ? QStringLiteral("index,value,hex\n")
                                                   : QStringLiteral("index,value\n");
    text.reserve(text.size() + points.size() * 24);
    for (int i = 0; i < points.size(); ++i) {
        const quint32 word = points[i];
        const QString hex = QStringLiteral("0x%1").arg(word, 8, 16, QLatin1Char('0'));
        QString value;
        switch (format) {
        case PointFormat::Combined:
            value = QString::number(word) + QLatin1Char(',') + hex;
            break;
        case PointFormat::Float: {
            float f = 0;
            static_assert(sizeof f == sizeof word, "a point is one IEEE 754 single");
            std::memcpy(&f, &word, sizeof f);
            // Shortest text that reads back as the same single; nan and inf as they are.
            value = QString::number(double(f), 'g', 9);
            break;
        }
        case PointFormat::Int:
            value = QString::number(qint32(word));
            break;
        case PointFormat::UInt:
            value = QString::number(word);
            break;
        case PointFormat::Hex:
            value = hex;
            break;
        }
        text += QString::number(i) + QLatin1Char(',') + value + QLatin1Char('\n');
    }
    return text;
}

QString relayList(quint32 relayStatus, RelayWord::Kind kind)
{
    QStringList relays;
    for (int r = 0; r < OrvoSettings::RelayCount; ++r) {
        if (RelayWord::isSet(relayStatus, kind, r))
            relays << QString::number(r + 1);
    }
    return relays.isEmpty() ? QStringLiteral("-") : relays.join(QLatin1Char(','));
}

QString relayLine(quint32 relayStatus)
{
    return QStringLiteral("relay status=0x%1 enabled=%2 fault=%3 phys=%4 logic=%5")
        .arg(relayStatus, 8, 16, QLatin1Char('0'))
        .arg(relayList(relayStatus, RelayWord::Enabled), relayList(relayStatus, RelayWord::Fault),
             relayList(relayStatus, RelayWord::PhysState),
             relayList(relayStatus, RelayWord::LogicState));
}

QString channelList(quint16 mask)
{
    QStringList channels;
    for (int c = 0; c < OrvoSettings::ChannelCount; ++c) {
        if (mask & (1u << c))
            channels << QString::number(channelNumber(c));
    }
    return channels.isEmpty() ? QStringLiteral("-") : channels.join(QLatin1Char(','));
}

QString settingsLine(const t_orvo_settings &settings)
{
    QStringList inUse;
    for (int r = 0; r < 8; ++r) {
        if (relayInUse(settings.relays[r]))
            inUse << QString::number(r + 1);
    }
    QStringList types;
    for (int c = 0; c < OrvoSettings::ChannelCount; ++c) {
        QStringList slots;
        for (const t_orvo_meas_settings &meas : settings.channels[c].meas)
            slots << QString::number(meas.type);
        types << slots.join(QLatin1Char('/'));
    }
    return QStringLiteral("settings node_id=%1 channel_mask=0x%2 full_scale=%3 meas_types=%4 "
                          "relays_in_use=%5")
        .arg(settings.node_id)
        .arg(settings.channel_mask, 4, 16, QLatin1Char('0'))
        .arg(settings.full_scale)
        .arg(types.join(QLatin1Char(';')),
             inUse.isEmpty() ? QStringLiteral("-") : inUse.join(QLatin1Char(',')));
}

QString channelStatusName(int status)
{
    const QString caption = MeasCatalogue::statusCaption(uint(status));
    return caption.isEmpty() ? QStringLiteral("unknown") : caption;
}

QString channelLine(const ChState &state)
{
    QString line = QStringLiteral("channel ch=%1 status=%2 (%3) meas=%4")
                       .arg(channelNumber(state.ch))
                       .arg(state.status)
                       .arg(channelStatusName(state.status))
                       .arg(state.meas.size());
    for (const auto &m : state.meas) {
        line += QStringLiteral(" [slot=%1 type=%2 value=%3 fs=%4 baseline=%5%6 failure=%7 "
                               "alert=%8 danger=%9]")
                    .arg(m->num)
                    .arg(m->type)
                    .arg(m->value, 0, 'f', 6)
                    .arg(m->fs_value)
                    .arg(m->baseline)
                    .arg(m->baseline_valid ? QString() : QStringLiteral("(invalid)"))
                    .arg(m->failure)
                    .arg(m->alert)
                    .arg(m->danger);
    }
    return line;
}

} // namespace ConsoleText
