// The x87 unit's precision for the renderer's real arithmetic.
#pragma once

namespace fpucontrol {

// Sets the x87 precision control to 53-bit doubles, rounding to nearest,
// all exceptions masked. The pen's arithmetic is written for doubles: in the
// 64-bit precision a runtime or the platform may leave set, intermediate
// results would round differently, the pattern would no longer follow its
// model bit for bit, and rounding halves to even would go wrong.
void UseDoublePrecision();

}  // namespace fpucontrol
