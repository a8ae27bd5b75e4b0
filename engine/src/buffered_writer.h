// Output files (lists, ".dup", ".inv" and ".sta" reports) written through
// one large buffer, so a file of millions of short lines costs few writes.
// Every write is checked, and the files of one call take their names the
// way FileReplace.h says: a failure leaves every file of the call as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include "FileReplace.h"

namespace yrb {

// Decimal digits, the same in every locale, appended to a buffer that is
// written later (the workers' blocks).
void AppendNumber(std::string& out, uint32_t value);

// The first failed write or close is kept; bytes added after it are dropped,
// and the close reports it once.  Without an open file, Add does nothing.
// One writer holds every file of a call (the numbered files of a split), so
// that a failure undoes all of them.
class BufferedWriter {
public:
    BufferedWriter() = default;
    // Destroyed without Close, every file of the call not yet put in
    // place is undone: an operation that ends so failed.
    ~BufferedWriter() { Discard(); }
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    // Opens a file for the mode ("wb", "w+b" or "a+b"; a call with a file
    // still open is undone first).  False when it cannot be opened, and
    // the files the call wrote before are undone; no message, the callers
    // word their own with OpenFailure().
    bool Open(const std::string& path, const char* mode);
    // what + the name that could not be opened + " (cause)", then where the
    // former contents that could not be put back are kept.
    std::string OpenFailure(const char* what) const { return call_.Describe(what); }
    // Open, the messages for a missing name or a failed open (with its
    // cause) sent to the registered error slot.
    bool OpenChecked(const char* path, const char* mode);
    bool IsOpen() const { return fd_ >= 0; }
    // The text for the last failure, e.g. "No space left on device".
    const char* Cause() const;

    void Add(const char* bytes, size_t n);
    void Add(std::string_view text) { Add(text.data(), text.size()); }
    // Decimal digits, the same in every locale.
    void AddNumber(uint32_t value);

    // Writes what is buffered to the current file, which is put in place
    // with the others by Close.  False when a write failed: "Could not
    // write to file : <path> (<cause>)" has then gone to the registered
    // error slot and every file of the call is undone.
    [[nodiscard]] bool CloseFile();
    // CloseFile, then every file of the call is put in place.  True when no
    // file is open.
    [[nodiscard]] bool Close();
    // Undoes every file of the call; only a former content that could not
    // be put back is told, with where it is kept.
    void Discard();

private:
    static constexpr size_t kFlushAt = 1u << 20;
    void Flush();
    bool Report();  // the failure to the error slot; false

    filereplace::Call call_;
    int fd_ = -1;
    std::string buffer_;
    int error_ = 0;  // of the current file's writes
};

}  // namespace yrb
