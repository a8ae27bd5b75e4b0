#include "Rules.h"

#include "clsRule.h"

std::shared_ptr<RuleCollection> Rules;
