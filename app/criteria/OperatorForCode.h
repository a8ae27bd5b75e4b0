#pragma once

#include <cstdint>
#include <memory>

#include "clsOperator.h"

// A new node for an operator code (clsOperator::kAnd, kOr); null for any
// other code.  Apart from the base so that the base knows no kind of node.
std::unique_ptr<clsOperator> OperatorForCode(int16_t code);
