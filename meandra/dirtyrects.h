// The parts of the off-screen image that changed since they were last copied
// to the window: a short list of rectangles, merged where one copy of their
// union costs no more pixels than two copies apart.
#pragma once
#include <stdint.h>

namespace dirtyrects {

// Left and top inclusive, right and bottom exclusive.
struct Rect {
  int32_t left, top, right, bottom;
};

// Far more than a tick's 16 balls and 2 credit lines need; when it is full,
// a new rectangle is merged into the one it enlarges least.
constexpr int Capacity = 32;

struct RectList {
  Rect rects[Capacity];
  int count;
};

int64_t Area(const Rect& rect);
Rect Union(const Rect& a, const Rect& b);
// Whether the two share a pixel; an empty rectangle shares none.
bool Overlap(const Rect& a, const Rect& b);
// The pixels that one box around both has beyond the two boxes apart
// (below 0 where they overlap).
int64_t AddedByJoining(const Rect& a, const Rect& b);

// Adds rect clipped to 0..width x 0..height; an empty result adds nothing.
void Add(RectList& list, Rect rect, int32_t width, int32_t height);

void Clear(RectList& list);

// Orders the list into groups, each to reach the display as the one box
// around its rectangles: two groups become one while the box around both
// spans fewer than joinArea pixels beyond the boxes of the two. Writes one
// past each group's last rectangle to groupEnds (room for Capacity) and
// returns the number of groups.
int GroupForDisplay(RectList& list, int64_t joinArea, int* groupEnds);

}  // namespace dirtyrects
