#pragma once

#include <cstdint>

// Where a criteria set accepted a keyword in one part of one mail.
class clsMatch {
public:
    // The parts of a mail, as Loc numbers them.
    static constexpr int16_t kHeader = 1;
    static constexpr int16_t kBody = 2;
    static constexpr int16_t kSubject = 3;

    int32_t Idx = 0;  // 1-based position in the part's text; 0 = not set yet
    int32_t Siz = 0;  // length of the keyword's text
    int16_t Loc = 0;  // kHeader, kBody or kSubject
};
