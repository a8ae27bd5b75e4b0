#include "OperatorForCode.h"

#include "clsOprAND.h"
#include "clsOprOR.h"

std::unique_ptr<clsOperator> OperatorForCode(int16_t code) {
    if (code == clsOperator::kAnd) return std::make_unique<clsOprAND>();
    if (code == clsOperator::kOr) return std::make_unique<clsOprOR>();
    return nullptr;
}
