#pragma once

#include <functional>

#include <QDateTime>

// Local date and time with milliseconds.  Tests install a clock of their own;
// an empty function puts the system clock back.
class Clock {
public:
    static QDateTime Now();
    static void Install(std::function<QDateTime()> source);
};
