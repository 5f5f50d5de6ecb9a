#include "defsaver/placement.h"

namespace defsaver {

FullScreenPlacement ChooseFullScreenPlacement(const MonitorMetrics& metrics) {
  if (metrics.monitorCount <= 1 || metrics.virtualWidth <= 0 || metrics.virtualHeight <= 0)
    return FullScreenPlacement{false, 0, 0, 0, 0};
  return FullScreenPlacement{true, metrics.virtualLeft, metrics.virtualTop, metrics.virtualWidth,
                             metrics.virtualHeight};
}

}  // namespace defsaver
