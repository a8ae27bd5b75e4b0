#pragma once

#include <cstdint>
#include <memory>

// The shape both operator nodes share, so that a set and a node hold either
// kind.  A node's operands are three-valued: a part hit, missed, or taking
// no part; a side without a part drops out and the other decides alone.
class clsOperator {
public:
    // Operand values.
    static constexpr int16_t kHit = 1;
    static constexpr int16_t kMiss = 0;
    static constexpr int16_t kNoPart = -1;
    // Operator codes of a set's OP1 and OP2.
    static constexpr int16_t kAnd = 1;
    static constexpr int16_t kOr = 2;

    virtual ~clsOperator();

    int16_t OpdLeft = kNoPart;
    int16_t OpdRight = kNoPart;
    // When set, the node's result stands in for the operand; a node owns them.
    std::unique_ptr<clsOperator> OprLeft;
    std::unique_ptr<clsOperator> OprRight;

    int16_t Evaluate();

protected:
    clsOperator() = default;
    // The node's own rule for two operands that both take part.
    virtual int16_t Combine(int16_t left, int16_t right) const = 0;
};
