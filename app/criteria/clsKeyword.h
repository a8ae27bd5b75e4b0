#pragma once

#include <QString>
#include <memory>
#include <vector>

// One keyword of a criteria set: the text and where and how it is searched.
// A plain record; a new one has an empty text and every flag off.
class clsKeyword {
public:
    QString Value;
    bool DoUse = false;  // takes part in evaluations
    bool DoHea = false;  // searched in the header block
    bool DoCon = false;  // searched in the body
    bool DoSub = false;  // searched in the subject
    bool DoWrd = false;  // whole words only
    bool DoCas = false;  // case-sensitive
};

// Ordered, 1-based in the forms' terms: keyword i is element i - 1.
using KeywordCollection = std::vector<std::shared_ptr<clsKeyword>>;
