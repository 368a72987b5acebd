#include "settingscheck.h"

#include "t_orvo_settings.h"

#include <QCoreApplication>

namespace SettingsCheck {

QString problem(const t_orvo_settings &settings)
{
    if (settings.node_id < MinNodeId || settings.node_id > MaxNodeId)
        return QCoreApplication::translate("SettingsCheck", "node_id is %1, expected %2 to %3")
            .arg(settings.node_id)
            .arg(MinNodeId)
            .arg(MaxNodeId);
    if (settings.channel_mask & ~ChannelMaskBits)
        return QCoreApplication::translate(
                   "SettingsCheck", "channel_mask is 0x%1, has bits beyond the fourth channel")
            .arg(settings.channel_mask, 4, 16, QLatin1Char('0'));
    for (int ch = 0; ch < OrvoSettings::ChannelCount; ++ch) {
        for (int slot = 0; slot < OrvoSettings::MeasSlotCount; ++slot) {
            const quint16 type = settings.channels[ch].meas[slot].type;
            if (type > MaxMeasType)
                return QCoreApplication::translate(
                           "SettingsCheck", "channels[%1].meas[%2].type is %3, expected 0 to %4")
                    .arg(ch)
                    .arg(slot)
                    .arg(type)
                    .arg(MaxMeasType);
        }
    }
    return QString();
}

} // namespace SettingsCheck
