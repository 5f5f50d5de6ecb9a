#include "settings/decode.h"

namespace settings {

uint8_t DecodeFlag(const uint8_t* data, uint32_t size, uint8_t current) {
  if (data == nullptr || size > FlagDataSize) return current;
  uint32_t value = 0;
  for (uint32_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
  return value == 1 ? 1 : 0;
}

}  // namespace settings
