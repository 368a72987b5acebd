#pragma once

#include <QString>

struct t_orvo_settings;

// Whether a configuration record can be a module's at all, checked before it is written to
// one: a stray file of the right size must not be committed to a module in the plant.
namespace SettingsCheck {

constexpr quint16 MinNodeId = 1;
constexpr quint16 MaxNodeId = 32;
constexpr quint16 ChannelMaskBits = 0x000F; // four channels
constexpr quint16 MaxMeasType = 16;

// Empty when the record is plausible; otherwise one line naming the first wrong field and its
// value, e.g. "node_id is 0, expected 1 to 32".
QString problem(const t_orvo_settings &settings);

} // namespace SettingsCheck
