#include "buffered_writer.h"

#include <cerrno>
#include <charconv>
#include <cstring>

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

}  // namespace

bool BufferedWriter::Open(const std::string& path, const char* mode) {
    if (fd_ >= 0) Discard();
    buffer_.clear();
    error_ = 0;
    fd_ = call_.Open(path, mode[0] == 'a' ? filereplace::Mode::kAppend : filereplace::Mode::kFromStart);
    if (fd_ >= 0) return true;
    // The call fails: its earlier files go back now, so that the message
    // can name any former content that could not.
    call_.Undo();
    return false;
}

bool BufferedWriter::OpenChecked(const char* path, const char* mode) {
    if (ReportMissingName(path)) return false;
    if (Open(path, mode)) return true;
    SendError(&g_registered, OpenFailure("Could not open file : "));
    return false;
}

const char* BufferedWriter::Cause() const {
    return error_ != 0 ? std::strerror(error_) : call_.Cause().c_str();
}

void BufferedWriter::Add(const char* bytes, size_t n) {
    if (fd_ < 0 || error_ != 0) return;
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
    if (!buffer_.empty() && error_ == 0 && !filereplace::WriteAll(fd_, buffer_.data(), buffer_.size()))
        error_ = errno;
    buffer_.clear();
}

bool BufferedWriter::Report() {
    SendError(&g_registered, call_.Describe("Could not write to file : "));
    return false;
}

bool BufferedWriter::CloseFile() {
    if (fd_ < 0) return true;
    Flush();
    fd_ = -1;
    if (error_ != 0) {
        call_.Fail(error_);
        return Report();
    }
    return call_.Finish() || Report();
}

bool BufferedWriter::Close() {
    if (!CloseFile()) return false;
    return call_.Commit() || Report();
}

void BufferedWriter::Discard() {
    fd_ = -1;
    buffer_.clear();
    call_.Undo();
    for (const std::string& text : call_.Untold()) SendError(&g_registered, text);
}

}  // namespace yrb
