// Output files (lists, ".dup", ".inv" and ".sta" reports) written through
// one large buffer, so a file of millions of short lines costs few writes.
// Every write and the close are checked: a full disk or an I/O error must
// not leave a cut file behind a success result, nor under the asked name.
//
// A file written from its start goes to a temporary file in the same folder,
// renamed over the name only when the whole call succeeded; a file appended
// to is cut back to its former length when the call fails.  A symbolic link
// is followed (the link stays, its target is replaced), a replaced file keeps
// its permission bits, and a name that is not a regular file (a device, a
// pipe) is written in place.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace yrb {

// Decimal digits, the same in every locale, appended to a buffer that is
// written later (the workers' blocks).
void AppendNumber(std::string& out, uint32_t value);

// Opens a file; the messages for a missing name or a failed open (with the
// system's cause) go to the registered error slot.
std::FILE* OpenFileChecked(const char* path, const char* mode);

// The first failed write or close is kept; bytes added after it are dropped,
// and the close reports it once.  Without an open file, Add does nothing.
// One writer holds every file of a call (the numbered files of a split), so
// that a failure undoes all of them.
class BufferedWriter {
public:
    BufferedWriter() = default;
    // Undoes every file of the call not yet put in place: an operation that
    // ends without Close failed.
    ~BufferedWriter();
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    // Opens a file for the mode ("wb", "w+b" or "a+b"; a file still open is
    // undone first).  False when it cannot be opened; no message, the callers
    // word their own with Cause().
    bool Open(const std::string& path, const char* mode);
    // Open with the messages of OpenFileChecked.
    bool OpenChecked(const char* path, const char* mode);
    bool IsOpen() const { return file_ != nullptr; }
    // The system's text for the last failure, e.g. "No space left on device".
    const char* Cause() const;

    void Add(const char* bytes, size_t n);
    void Add(std::string_view text) { Add(text.data(), text.size()); }
    // Decimal digits, the same in every locale.
    void AddNumber(uint32_t value);

    // Writes what is buffered and closes the current file, which is put in
    // place with the others by Close.  False when a write or the close
    // failed: "Could not write to file : <path> (<cause>)" has then gone to
    // the registered error slot and every file of the call is undone.
    [[nodiscard]] bool CloseFile();
    // CloseFile, then every file of the call is put in place.  True when no
    // file is open.
    [[nodiscard]] bool Close();
    // Undoes every file of the call, without a message.
    void Discard();

private:
    // How a file reaches its name.
    enum class Way { kInPlace, kReplace, kAppend, kOverwrite };
    struct Target {
        std::string asked;  // the name the caller gave, for messages
        std::string path;   // the file itself, symbolic links followed
        std::string temp;   // kReplace: written here, renamed over path
        Way way = Way::kInPlace;
        bool existed = false;  // kAppend: else removed when undone
        off_t formerLength = 0;
    };

    static constexpr size_t kFlushAt = 1u << 20;
    void Flush();
    void Fail(int error);
    bool Finish();  // Flush and fclose; false when anything failed
    static void Undo(const Target& t);

    std::FILE* file_ = nullptr;
    Target current_;
    std::vector<Target> closed_;  // closed, not yet put in place
    std::string buffer_;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace yrb
