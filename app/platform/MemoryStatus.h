#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class QByteArray;

// Free physical memory: MemAvailable of /proc/meminfo, in bytes, 64-bit.
// Tests install a source of their own; an empty function restores the file.
class MemoryStatus {
public:
    static std::optional<int64_t> AvailableBytes();
    static void Install(std::function<std::optional<int64_t>()> source);
    // MemAvailable of a meminfo text, in bytes.
    static std::optional<int64_t> ParseMemInfo(const QByteArray& text);
};
