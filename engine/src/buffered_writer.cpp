#include "buffered_writer.h"

#include <charconv>

#include "callbacks.h"

namespace yrb {

std::FILE* OpenFileChecked(const char* path, const char* mode) {
    if (path == nullptr) {
        SendError(&g_registered, "Could not open file : No file name specified (empty string)");
        return nullptr;
    }
    if (*path == '\0') {
        SendError(&g_registered, "Could not open file : No file name specified (length = 0)");
        return nullptr;
    }
    std::FILE* f = std::fopen(path, mode);
    if (f == nullptr) SendError(&g_registered, Format("Could not open file : %s", path));
    return f;
}

BufferedWriter::~BufferedWriter() {
    if (file_ != nullptr) Finish();
}

bool BufferedWriter::Open(const std::string& path, const char* mode) {
    if (file_ != nullptr) Finish();
    file_ = std::fopen(path.c_str(), mode);
    path_ = path;
    failed_ = false;
    return file_ != nullptr;
}

bool BufferedWriter::OpenChecked(const char* path, const char* mode) {
    if (file_ != nullptr) Finish();
    file_ = OpenFileChecked(path, mode);
    path_ = path ? path : "";
    failed_ = false;
    return file_ != nullptr;
}

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

void BufferedWriter::Flush() {
    if (!buffer_.empty() && !failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        failed_ = true;
    buffer_.clear();
}

bool BufferedWriter::Finish() {
    Flush();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

bool BufferedWriter::Close() {
    if (file_ == nullptr) return true;
    if (Finish()) return true;
    SendError(&g_registered, Format("Could not write to file : %s", path_.c_str()));
    return false;
}

}  // namespace yrb
