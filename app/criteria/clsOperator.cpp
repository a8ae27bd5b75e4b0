#include "clsOperator.h"

#include "clsOprAND.h"
#include "clsOprOR.h"

clsOperator::~clsOperator() = default;

int16_t clsOperator::Evaluate() {
    const int16_t left = OprLeft ? OprLeft->Evaluate() : OpdLeft;
    const int16_t right = OprRight ? OprRight->Evaluate() : OpdRight;
    if (left == kNoPart) return right;
    if (right == kNoPart) return left;
    return Combine(left, right);
}

std::unique_ptr<clsOperator> clsOperator::ForCode(int16_t code) {
    if (code == kAnd) return std::make_unique<clsOprAND>();
    if (code == kOr) return std::make_unique<clsOprOR>();
    return nullptr;
}
