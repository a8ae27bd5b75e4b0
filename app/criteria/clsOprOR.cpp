#include "clsOprOR.h"

int16_t clsOprOR::Combine(int16_t left, int16_t right) const { return left == kHit || right == kHit ? kHit : kMiss; }
