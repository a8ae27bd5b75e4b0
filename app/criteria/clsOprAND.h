#pragma once

#include "clsOperator.h"

// Hit only when both sides that take part are hit.
class clsOprAND : public clsOperator {
protected:
    int16_t Combine(int16_t left, int16_t right) const override;
};
