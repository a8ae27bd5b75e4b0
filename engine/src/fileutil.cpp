// Record counts of files that are not loaded, and the binary-byte check.
#include <cstdlib>

#include "guard.h"
#include "lists.h"
#include "text.h"

using namespace yrb;

extern "C" YRB_API int32_t YRB22(const char* path, const char* record_sep,
                                 const YRB_CallbackTable* table) {
    const Table* t = Choose(table, &g_registered);
    if (record_sep == nullptr || *record_sep == '\0' || path == nullptr) return YRB_FAILED;
    return Guarded([&]() -> int32_t {
        char* buffer = nullptr;
        uint32_t size = 0;
        const int32_t got = ReadWholeFile(path, buffer, size, t, false);
        if (got < 0) return got;
        const uint32_t sepLen = static_cast<uint32_t>(std::strlen(record_sep));
        InitProgress(t, size);
        Info(t, "Counting entries");
        Progress(t, 0);
        ProgressStep step(t, size);
        const char* cursor = buffer;
        const char* end = buffer + size;
        const char* tok = nullptr;
        uint32_t tokLen = 0;
        uint32_t count = 0;
        while (NextToken(cursor, end, record_sep, sepLen, tok, tokLen)) {
            if (tokLen != 0) {
                ++count;
                step(static_cast<uint32_t>(tok + tokLen - buffer));
            }
            if (PollInterrupt(t)) {
                std::free(buffer);
                return YRB_STOPPED;
            }
        }
        step(size);
        std::free(buffer);
        return static_cast<int32_t>(count);
    });
}

extern "C" YRB_API int32_t YRB25(const char* text, int32_t length) {
    if (length < 0) return YRB_FAILED;
    if (text == nullptr) return 0;
    const size_t n = length == 0 ? std::strlen(text) : static_cast<size_t>(length);
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 32 || c == 8 || c == 9 || c == 10 || c == 13) continue;
        return static_cast<int32_t>(i + 1);
    }
    return 0;
}
