#include "clsOprAND.h"

int16_t clsOprAND::Combine(int16_t left, int16_t right) const { return left == kHit && right == kHit ? kHit : kMiss; }
