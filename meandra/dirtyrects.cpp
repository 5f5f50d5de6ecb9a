#include "meandra/dirtyrects.h"

namespace dirtyrects {

namespace {

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

void RemoveAt(RectList& list, int index) {
  list.rects[index] = list.rects[list.count - 1];
  --list.count;
}

// The index of a rectangle whose union with rect is no larger than the two
// apart, or -1.
int FindCheapMerge(const RectList& list, const Rect& rect) {
  for (int i = 0; i < list.count; ++i)
    if (AddedByJoining(list.rects[i], rect) <= 0) return i;
  return -1;
}

int LeastGrowth(const RectList& list, const Rect& rect) {
  int best = 0;
  int64_t bestGrowth = Area(Union(list.rects[0], rect)) - Area(list.rects[0]);
  for (int i = 1; i < list.count; ++i) {
    int64_t growth = Area(Union(list.rects[i], rect)) - Area(list.rects[i]);
    if (growth < bestGrowth) best = i, bestGrowth = growth;
  }
  return best;
}

}  // namespace

int64_t Area(const Rect& rect) {
  return static_cast<int64_t>(rect.right - rect.left) * (rect.bottom - rect.top);
}

Rect Union(const Rect& a, const Rect& b) {
  return Rect{Min(a.left, b.left), Min(a.top, b.top), Max(a.right, b.right), Max(a.bottom, b.bottom)};
}

bool Overlap(const Rect& a, const Rect& b) {
  return Max(a.left, b.left) < Min(a.right, b.right) && Max(a.top, b.top) < Min(a.bottom, b.bottom);
}

int64_t AddedByJoining(const Rect& a, const Rect& b) { return Area(Union(a, b)) - Area(a) - Area(b); }

void Add(RectList& list, Rect rect, int32_t width, int32_t height) {
  rect = Rect{Max(rect.left, 0), Max(rect.top, 0), Min(rect.right, width), Min(rect.bottom, height)};
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  // A union can make a further merge cheap, so merging goes on until none is.
  for (int i = FindCheapMerge(list, rect); i >= 0; i = FindCheapMerge(list, rect)) {
    rect = Union(list.rects[i], rect);
    RemoveAt(list, i);
  }
  if (list.count == Capacity) {
    int i = LeastGrowth(list, rect);
    rect = Union(list.rects[i], rect);
    RemoveAt(list, i);
  }
  list.rects[list.count++] = rect;
}

void Clear(RectList& list) { list.count = 0; }

int GroupForDisplay(RectList& list, int64_t joinArea, int* groupEnds) {
  Rect box[Capacity];
  int groupOf[Capacity];
  bool live[Capacity];
  for (int i = 0; i < list.count; ++i) box[i] = list.rects[i], groupOf[i] = i, live[i] = true;
  // The pair whose joined box adds least is joined first.
  for (;;) {
    int first = -1, second = -1;
    int64_t leastAdded = joinArea;
    for (int a = 0; a < list.count; ++a)
      for (int b = a + 1; b < list.count; ++b) {
        if (!live[a] || !live[b]) continue;
        int64_t added = AddedByJoining(box[a], box[b]);
        if (added < leastAdded) first = a, second = b, leastAdded = added;
      }
    if (first < 0) break;
    box[first] = Union(box[first], box[second]);
    live[second] = false;
    for (int i = 0; i < list.count; ++i)
      if (groupOf[i] == second) groupOf[i] = first;
  }
  Rect ordered[Capacity];
  int count = 0, groups = 0;
  for (int g = 0; g < list.count; ++g) {
    if (!live[g]) continue;
    for (int i = 0; i < list.count; ++i)
      if (groupOf[i] == g) ordered[count++] = list.rects[i];
    groupEnds[groups++] = count;
  }
  for (int i = 0; i < count; ++i) list.rects[i] = ordered[i];
  return groups;
}

}  // namespace dirtyrects
