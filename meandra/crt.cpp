// The few runtime routines the compiler may call on its own. The saver links
// no C runtime, so it brings these itself.
#include <stddef.h>

extern "C" {

void* memset(void* destination, int value, size_t count) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  while (count-- > 0) *d++ = static_cast<unsigned char>(value);
  return destination;
}

void* memcpy(void* destination, const void* source, size_t count) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  const unsigned char* s = static_cast<const unsigned char*>(source);
  while (count-- > 0) *d++ = *s++;
  return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  const unsigned char* s = static_cast<const unsigned char*>(source);
  if (d < s) {
    while (count-- > 0) *d++ = *s++;
  } else {
    while (count-- > 0) d[count] = s[count];
  }
  return destination;
}

}  // extern "C"
