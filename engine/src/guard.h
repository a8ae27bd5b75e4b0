// Keeps exceptions from crossing the C boundary.
#pragma once

#include <cstdint>
#include <new>

#include "callbacks.h"

namespace yrb {

template <class F>
int32_t Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        SendError(&g_registered, "Not enough memory to complete the operation");
    } catch (...) {
        SendError(&g_registered, "Unexpected internal error in the list engine");
    }
    return YRB_FAILED;
}

}  // namespace yrb
