#pragma once

#include <csignal>

#include <sys/resource.h>

// While one lives, no file of this process can grow past the limit: a write
// beyond fails (EFBIG) instead of raising SIGXFSZ, as it would on a full
// disk.  Only the soft limit is lowered, so it can be raised back.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_former);
        rlimit lowered = m_former;
        lowered.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_former);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    // False when the limit could not be set: the test would prove nothing.
    bool IsSet() const { return m_set; }

private:
    rlimit m_former{};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};
