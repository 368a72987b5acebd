#pragma once

// What a three-state condition lamp shows, decided by the model and shown by the lamp widget.
// An unscoped enum, because the lamp still takes and gives back any int.
namespace Lamp {
enum State { Green = 0, Red = 1, Off = 2 };
} // namespace Lamp
