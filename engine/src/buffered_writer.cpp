#include "buffered_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <utility>

#include "callbacks.h"

namespace yrb {

namespace {

// Sends the message for a missing name; false when there is one.
bool ReportMissingName(const char* path) {
    if (path == nullptr) {
        SendError(&g_registered, "Could not open file : No file name specified (empty string)");
        return true;
    }
    if (*path == '\0') {
        SendError(&g_registered, "Could not open file : No file name specified (length = 0)");
        return true;
    }
    return false;
}

// The file a name stands for, symbolic links followed (a dangling one too,
// which the write then creates).  A loop of links is left to the open.
std::string FollowLinks(const std::string& path) {
    constexpr int kMaxHops = 40;
    std::string p = path;
    char target[4096];
    for (int hop = 0; hop < kMaxHops; ++hop) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        const ssize_t n = ::readlink(p.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) == sizeof target) return p;
        std::string next(target, static_cast<size_t>(n));
        const size_t slash = p.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next.insert(0, p, 0, slash + 1);
        p = std::move(next);
    }
    return p;
}

// Creates a new, empty file beside path (".<name>.<8 hex digits>.tmp"),
// with the bits a new file gets, open for reading too ("w+b"); -1 with errno
// when the folder takes none.
int CreateTemporary(const std::string& path, std::string& temp) {
    constexpr size_t kBaseKept = 180;  // the name's limit is 255 bytes
    constexpr int kAttempts = 100;
    static std::atomic<uint32_t> counter{0};
    const size_t slash = path.rfind('/');
    const size_t baseAt = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = path.substr(0, baseAt);
    const std::string base = path.substr(baseAt, kBaseKept);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const uint64_t now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const uint32_t mix = static_cast<uint32_t>((now ^ (uint64_t(::getpid()) << 20)) * 0x9E3779B97F4A7C15ull >> 32) ^
                             (counter.fetch_add(1, std::memory_order_relaxed) * 2654435761u);
        char hex[9];
        for (int k = 0; k < 8; ++k) hex[k] = "0123456789abcdef"[(mix >> (28 - 4 * k)) & 0xF];
        hex[8] = '\0';
        temp = folder + "." + base + "." + hex + ".tmp";
        const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

std::FILE* OpenFileChecked(const char* path, const char* mode) {
    if (ReportMissingName(path)) return nullptr;
    std::FILE* f = std::fopen(path, mode);
    if (f == nullptr) SendError(&g_registered, Format("Could not open file : %s (%s)", path, std::strerror(errno)));
    return f;
}

BufferedWriter::~BufferedWriter() { Discard(); }

bool BufferedWriter::Open(const std::string& path, const char* mode) {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        Undo(current_);
    }
    buffer_.clear();
    failed_ = false;
    error_ = 0;
    Target t;
    t.asked = path;
    t.path = FollowLinks(path);
    struct stat st {};
    const bool exists = ::stat(t.path.c_str(), &st) == 0;
    std::FILE* f = nullptr;
    if (exists && !S_ISREG(st.st_mode)) {
        // Devices, pipes, folders: opened as named, whatever that gives.
        f = std::fopen(path.c_str(), mode);
    } else if (mode[0] == 'a') {
        t.way = Way::kAppend;
        t.existed = exists;
        t.formerLength = exists ? st.st_size : 0;
        f = std::fopen(t.path.c_str(), mode);
    } else if (exists && ::access(t.path.c_str(), W_OK) != 0) {
        // A file that could not be written in place is not replaced either.
    } else {
        const int fd = CreateTemporary(t.path, t.temp);
        if (fd >= 0) {
            t.way = Way::kReplace;
            if (exists) (void)::fchmod(fd, st.st_mode & 07777);
            f = ::fdopen(fd, mode);
            if (f == nullptr) {
                const int e = errno;
                ::close(fd);
                ::unlink(t.temp.c_str());
                errno = e;
            }
        } else if (exists && (errno == EACCES || errno == EPERM)) {
            // A folder that takes no new file may still hold a writable one.
            t.way = Way::kOverwrite;
            f = std::fopen(t.path.c_str(), mode);
        }
    }
    if (f == nullptr) {
        error_ = errno;
        return false;
    }
    file_ = f;
    current_ = std::move(t);
    return true;
}

bool BufferedWriter::OpenChecked(const char* path, const char* mode) {
    if (ReportMissingName(path)) return false;
    if (Open(path, mode)) return true;
    SendError(&g_registered, Format("Could not open file : %s (%s)", path, Cause()));
    return false;
}

const char* BufferedWriter::Cause() const { return error_ != 0 ? std::strerror(error_) : ""; }

void BufferedWriter::Add(const char* bytes, size_t n) {
    if (file_ == nullptr || failed_) return;
    buffer_.append(bytes, n);
    if (buffer_.size() >= kFlushAt) Flush();
}

void AppendNumber(std::string& out, uint32_t value) {
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<size_t>(r.ptr - digits));
}

void BufferedWriter::AddNumber(uint32_t value) {
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    Add(digits, static_cast<size_t>(r.ptr - digits));
}

void BufferedWriter::Fail(int error) {
    if (failed_) return;
    failed_ = true;
    error_ = error;
}

void BufferedWriter::Flush() {
    if (!buffer_.empty() && !failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        Fail(errno);
    buffer_.clear();
}

bool BufferedWriter::Finish() {
    Flush();
    if (std::fclose(file_) != 0) Fail(errno);
    file_ = nullptr;
    return !failed_;
}

bool BufferedWriter::CloseFile() {
    if (file_ == nullptr) return true;
    const bool whole = Finish();
    closed_.push_back(std::move(current_));
    current_ = Target{};
    if (whole) return true;
    SendError(&g_registered, Format("Could not write to file : %s (%s)", closed_.back().asked.c_str(), Cause()));
    Discard();
    return false;
}

bool BufferedWriter::Close() {
    if (!CloseFile()) return false;
    for (size_t k = 0; k < closed_.size(); ++k) {
        Target& t = closed_[k];
        if (t.way != Way::kReplace || ::rename(t.temp.c_str(), t.path.c_str()) == 0) continue;
        error_ = errno;
        SendError(&g_registered, Format("Could not write to file : %s (%s)", t.asked.c_str(), Cause()));
        // The files already put in place were written by this call.
        for (size_t j = 0; j < k; ++j) {
            if (closed_[j].way != Way::kReplace) continue;
            ::unlink(closed_[j].path.c_str());
            closed_[j].way = Way::kInPlace;
        }
        Discard();
        return false;
    }
    closed_.clear();
    return true;
}

void BufferedWriter::Discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        closed_.push_back(std::move(current_));
        current_ = Target{};
    }
    buffer_.clear();
    for (const Target& t : closed_) Undo(t);
    closed_.clear();
}

void BufferedWriter::Undo(const Target& t) {
    switch (t.way) {
        case Way::kReplace:
            ::unlink(t.temp.c_str());
            break;
        case Way::kAppend:
            if (t.existed) {
                (void)::truncate(t.path.c_str(), t.formerLength);
            } else {
                ::unlink(t.path.c_str());
            }
            break;
        case Way::kOverwrite:
            (void)::truncate(t.path.c_str(), 0);  // its former bytes are gone already
            break;
        case Way::kInPlace:
            break;
    }
}

}  // namespace yrb
