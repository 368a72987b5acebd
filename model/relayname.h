#pragma once

#include <QString>

struct t_orvo_relay_settings;

// The relay's name: UTF-8 up to the first zero byte, never past the 80-byte field.
QString relayName(const t_orvo_relay_settings &relay);

// A relay is listed by the views when both low bits of its mode are set.
bool relayInUse(const t_orvo_relay_settings &relay);
