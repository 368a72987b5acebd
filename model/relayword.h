#pragma once

#include <QtGlobal>

// The relay status word every relay display and the console read: one byte per kind of state,
// relay r (0 to 7, relay number r + 1) at bit r of each byte.
namespace RelayWord {

enum Kind { LogicState = 0, PhysState = 1, Fault = 2, Enabled = 3 }; // the byte, low first

// The relays of one kind, relay r at bit r.
constexpr quint8 relays(quint32 word, Kind kind)
{
    return quint8(word >> (8 * int(kind)));
}

constexpr bool isSet(quint32 word, Kind kind, int relay)
{
    return relay >= 0 && relay < 8 && ((relays(word, kind) >> relay) & 1u);
}

} // namespace RelayWord
