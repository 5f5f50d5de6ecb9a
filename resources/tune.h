// The tune the saver carries: a complete Standard MIDI File, written from
// resources/tune.notes at build time (resources/tunegen.py).
#pragma once
#include <stdint.h>

namespace resources {

// The file's length; the tune file is written with exactly this count.
constexpr uint32_t TuneSize = 3579;

extern const uint8_t TuneData[TuneSize];

}  // namespace resources
