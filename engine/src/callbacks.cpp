#include "callbacks.h"

#include <cstdarg>
#include <cstdio>

namespace yrb {

Table g_registered = {};
const Table g_silent = {};
uint32_t g_pollCounter = 0;
uint32_t g_animCounter = 0;

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

}  // namespace yrb

extern "C" YRB_API void YRB07(const YRB_CallbackTable* table) {
    if (table) yrb::g_registered = *table;
}
