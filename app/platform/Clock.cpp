#include "Clock.h"

namespace {
std::function<QDateTime()>& Source() {
    static std::function<QDateTime()> source;
    return source;
}
}  // namespace

QDateTime Clock::Now() {
    const auto& s = Source();
    return s ? s() : QDateTime::currentDateTime();
}

void Clock::Install(std::function<QDateTime()> source) { Source() = std::move(source); }
