#pragma once

#include <cstdint>

// The screen as forms see it: its size in twips and the one mouse pointer
// that overrides every window's own (0 default, 1 arrow, 5 move, 11
// hourglass, ...).  The pointer is a single application override cursor, so
// setting it twice never stacks two overrides.
class Screen {
public:
    static constexpr int kDefaultPointer = 0;
    static constexpr int kHourglassPointer = 11;

    static Screen* Instance();

    int64_t Width() const;
    int64_t Height() const;

    int MousePointer() const { return m_pointer; }
    void SetMousePointer(int pointer);

private:
    Screen() = default;
    int m_pointer = 0;
};
