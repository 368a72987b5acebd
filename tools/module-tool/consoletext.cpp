#include "consoletext.h"

#include "chstate.h"
#include "meascatalogue.h"
#include "relayname.h"
#include "relayword.h"
#include "t_orvo_settings.h"

#include <QStringList>

namespace ConsoleText {

QString pointsCsv(const QVector<quint32> &points)
{
    QString text = QStringLiteral("index,value,hex\n");
    text.reserve(text.size() + points.size() * 24);
    for (int i = 0; i < points.size(); ++i) {
        text += QStringLiteral("%1,%2,0x%3\n")
                    .arg(i)
                    .arg(points[i])
                    .arg(points[i], 8, 16, QLatin1Char('0'));
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
            channels << QString::number(c);
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
                       .arg(state.ch)
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
