#pragma once

#include "clsOperator.h"

// Hit when either side that takes part is hit.
class clsOprOR : public clsOperator {
protected:
    int16_t Combine(int16_t left, int16_t right) const override;
};
