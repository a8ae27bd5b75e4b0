// Output files (lists, ".dup", ".inv" and ".sta" reports) written through
// one large buffer, so a file of millions of short lines costs few writes.
// Every write and the close are checked: a full disk or an I/O error must
// not leave a cut file behind a success result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace yrb {

// Decimal digits, the same in every locale, appended to a buffer that is
// written later (the workers' blocks).
void AppendNumber(std::string& out, uint32_t value);

// Opens a file; the messages for a missing name or a failed open go to the
// registered error slot.
std::FILE* OpenFileChecked(const char* path, const char* mode);

// The first failed write or close is kept; bytes added after it are dropped,
// and Close reports it once.  Without an open file, Add does nothing.
class BufferedWriter {
public:
    BufferedWriter() = default;
    // Writes what is buffered and closes without a message: the file is only
    // left open when the operation stopped or failed, and its result says so.
    ~BufferedWriter();
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    // Opens a file (a file still open is closed first, without a message).
    // False when it cannot be opened; no message, the callers word their own.
    bool Open(const std::string& path, const char* mode);
    // Open with the messages of OpenFileChecked.
    bool OpenChecked(const char* path, const char* mode);
    bool IsOpen() const { return file_ != nullptr; }

    void Add(const char* bytes, size_t n);
    void Add(std::string_view text) { Add(text.data(), text.size()); }
    // Decimal digits, the same in every locale.
    void AddNumber(uint32_t value);

    // Writes what is buffered and closes.  False when a write or the close
    // failed; "Could not write to file : <path>" has then gone to the
    // registered error slot.  True when no file is open.
    [[nodiscard]] bool Close();

private:
    static constexpr size_t kFlushAt = 1u << 20;
    void Flush();
    bool Finish();  // Flush and fclose; false when anything failed

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace yrb
