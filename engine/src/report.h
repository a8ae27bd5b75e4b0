// Report files (".dup", ".sta") written through one large buffer, so a
// report of millions of lines costs few writes.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace yrb {

class ReportFile {
public:
    explicit ReportFile(std::FILE* f) : f_(f) {}
    ~ReportFile() { Close(); }
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    bool IsOpen() const { return f_ != nullptr; }

    void Add(const char* bytes, size_t n) {
        buffer_.append(bytes, n);
        if (buffer_.size() >= kFlushAt) Flush();
    }
    void Add(const char* text) { Add(text, std::strlen(text)); }
    // Decimal digits, the same in every locale.
    void AddNumber(uint32_t value) {
        char digits[16];
        const auto r = std::to_chars(digits, digits + sizeof digits, value);
        Add(digits, static_cast<size_t>(r.ptr - digits));
    }

    // Writes what is buffered and closes the file; what was added before a
    // stop is in the file.
    void Close() {
        if (f_ == nullptr) return;
        Flush();
        std::fclose(f_);
        f_ = nullptr;
    }

private:
    static constexpr size_t kFlushAt = 1u << 20;
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), f_);
        buffer_.clear();
    }
    std::FILE* f_;
    std::string buffer_;
};

}  // namespace yrb
