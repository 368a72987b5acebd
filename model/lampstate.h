#pragma once

// What a three-state condition lamp shows, decided by the model and shown by the lamp widget.
// An unscoped enum, because the lamp still takes and gives back any int.
#include <optional>

namespace Lamp {
enum State { Green = 0, Red = 1, Off = 2 };

// A condition as the module codes it: -1 undetermined, 0 false, 1 true. Other values give
// nothing, and a lamp given nothing stays as it is.
inline std::optional<State> fromCondition(int cond)
{
    switch (cond) {
    case -1:
        return Off;
    case 0:
        return Green;
    case 1:
        return Red;
    default:
        return std::nullopt;
    }
}
} // namespace Lamp
