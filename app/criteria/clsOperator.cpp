#include "clsOperator.h"

clsOperator::~clsOperator() = default;

int16_t clsOperator::Evaluate() {
    const int16_t left = OprLeft ? OprLeft->Evaluate() : OpdLeft;
    const int16_t right = OprRight ? OprRight->Evaluate() : OpdRight;
    if (left == kNoPart) return right;
    if (right == kNoPart) return left;
    return Combine(left, right);
}
