#pragma once

#include <memory>
#include <vector>

class clsRule;

// Ordered; a set's position + 1 is its entry in the criteria combos.
using RuleCollection = std::vector<std::shared_ptr<clsRule>>;

// The program's criteria sets: read from the criteria file at start-up and
// whenever the editor discards its changes, edited in place by the editor,
// released at unload.
extern std::shared_ptr<RuleCollection> Rules;
