#include "core/random.h"

namespace {
uint32_t g_randState = 1;
}

int Rand() {
  g_randState = g_randState * 214013u + 2531011u;
  return int((g_randState >> 16) & 0x7FFFu);
}

void SRand(uint32_t seed) {
  g_randState = seed;
}
