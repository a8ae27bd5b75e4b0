#include "FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <utility>

namespace filereplace {

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 100;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileBits = 0666;
constexpr mode_t kPrivateBits = 0600;
constexpr mode_t kPrivateFolderBits = 0700;
constexpr size_t kCopyBlock = 1u << 20;
constexpr long kDefaultNameMax = 255;

std::function<int(const char*, const char*)>& RenameHook() {
    static std::function<int(const char*, const char*)> hook;
    return hook;
}

int Rename(const char* from, const char* to) {
    const auto& hook = RenameHook();
    return hook ? hook(from, to) : ::rename(from, to);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Eight hex digits nobody is likely to hold at the same moment.
std::string Salt() {
    static std::atomic<uint32_t> counter{0};
    const uint64_t now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint32_t mix = static_cast<uint32_t>((now ^ (uint64_t(::getpid()) << 20)) * 0x9E3779B97F4A7C15ull >> 32) ^
                         (counter.fetch_add(1, std::memory_order_relaxed) * 2654435761u);
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", mix);
    return hex;
}

// "<folder>/[.]<name>.ormid-<salt>.<kind>", the name cut (never inside a
// UTF-8 character) so that the whole stays within the folder's name limit.
std::string NameIn(const std::string& folder, const std::string& base, bool hidden, const char* kind) {
    long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameMax <= 0) nameMax = kDefaultNameMax;
    const std::string tail = ".ormid-" + Salt() + "." + kind;
    const size_t room = static_cast<size_t>(nameMax) - tail.size() - (hidden ? 1 : 0);
    size_t keep = std::min(base.size(), room);
    while (keep > 0 && keep < base.size() && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
    return folder + (folder.back() == '/' ? "" : "/") + (hidden ? "." : "") + base.substr(0, keep) + tail;
}

std::string BaseOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Beside(const std::string& target, const char* kind) {
    return NameIn(FolderOf(target), BaseOf(target), true, kind);
}

// The user's own folder for copies that cannot stay beside their file:
// made readable by the user alone, and refused when someone else's.
bool PrivateFolder(std::string& folder) {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ormid-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), kPrivateFolderBits) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

// Creates a new file readable by the user alone under a fresh name made by
// name(); the descriptor, or -1 with errno.
template <typename NameFn>
int CreateFresh(NameFn name, std::string& created) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        created = name();
        const int fd = ::open(created.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateBits);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

bool SyncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

// Copies from's bytes from its start to to (written from its start).
bool CopyBytes(int from, int to) {
    std::vector<char> block(kCopyBlock);
    off_t at = 0;
    for (;;) {
        const ssize_t got = ::pread(from, block.data(), block.size(), at);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::pwrite(to, block.data() + done, static_cast<size_t>(got - done), at + done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                if (put == 0) errno = EIO;
                return false;
            }
            done += put;
        }
        at += got;
    }
}

// A copy of the file's content, beside it or else in the user's own
// folder, synced before the file is touched.  "" when none could be made.
std::string CopyAside(const std::string& target) {
    const int from = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return {};
    std::string kept;
    for (int place = 0; place < 2; ++place) {
        std::string folder;
        if (place == 1 && !PrivateFolder(folder)) break;
        const int to = place == 0 ? CreateFresh([&] { return Beside(target, "kept"); }, kept)
                                  : CreateFresh([&] { return NameIn(folder, BaseOf(target), false, "kept"); }, kept);
        if (to < 0) continue;
        const bool ok = CopyBytes(from, to) && ::fsync(to) == 0;
        ::close(to);
        if (ok) {
            ::close(from);
            return kept;
        }
        ::unlink(kept.c_str());
    }
    ::close(from);
    return {};
}

// A second name beside the file for its content ("" when the folder or
// the file system refuses one).
std::string LinkBeside(const std::string& target) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string kept = Beside(target, "kept");
        if (::link(target.c_str(), kept.c_str()) == 0) return kept;
        if (errno != EEXIST) break;
    }
    return {};
}

// Writes the kept copy back into the file through its open descriptor, so
// the file stays the one it was.
void CopyBack(const std::string& kept, int fd) {
    const int from = ::open(kept.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return;
    if (::ftruncate(fd, 0) == 0 && CopyBytes(from, fd)) (void)::fsync(fd);
    ::close(from);
}

// Puts a kept former file back under its name: renamed when it lies in the
// same folder, else its bytes written over the file that stands there.
void PutBack(const std::string& kept, const std::string& target, mode_t bits) {
    if (Rename(kept.c_str(), target.c_str()) == 0) return;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, kPrivateBits);
    if (fd < 0) return;
    CopyBack(kept, fd);
    (void)::fchmod(fd, bits);
    ::close(fd);
    ::unlink(kept.c_str());
}

// Renaming a new file over this one gives it the writer's owner and group,
// and parts it from its other names and its access list.
bool RenameKeepsIdentity(const struct stat& st, const std::string& target) {
    if (st.st_nlink > 1 || st.st_uid != ::geteuid()) return false;
    struct stat folder {};
    if (::stat(FolderOf(target).c_str(), &folder) != 0) return false;
    const gid_t newGroup = (folder.st_mode & S_ISGID) ? folder.st_gid : ::getegid();
    if (st.st_gid != newGroup) return false;
    return ::getxattr(target.c_str(), "system.posix_acl_access", nullptr, 0) < 0;
}

}  // namespace

bool WriteAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string FollowLinks(const std::string& path) {
    std::string p = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) == target.size()) return p;
        target.resize(static_cast<size_t>(n));
        const size_t slash = p.rfind('/');
        if (target[0] != '/' && slash != std::string::npos) target.insert(0, p, 0, slash + 1);
        p = std::move(target);
    }
    return p;
}

void InstallRename(std::function<int(const char*, const char*)> rename) { RenameHook() = std::move(rename); }

Call::~Call() { Undo(); }

int Call::Open(const std::string& asked, Mode mode) {
    Entry e;
    e.asked = asked;
    e.target = FollowLinks(asked);
    auto refuse = [&](int error) {
        m_error = error;
        m_failedName = asked;
        m_failedLost = false;
        return -1;
    };
    struct stat st {};
    e.existed = ::stat(e.target.c_str(), &st) == 0;
    if (e.existed && S_ISDIR(st.st_mode)) return refuse(EISDIR);
    if (e.existed && !S_ISREG(st.st_mode)) {
        // A device or a pipe: nothing to rename over, nothing to keep.
        e.way = Way::kDevice;
        e.fd = ::open(e.target.c_str(), O_WRONLY | O_CLOEXEC | (mode == Mode::kAppend ? O_APPEND : O_TRUNC));
        if (e.fd < 0) return refuse(errno);
    } else if (mode == Mode::kAppend) {
        e.way = Way::kAppend;
        e.fd = ::open(e.target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | (e.existed ? 0 : O_CREAT | O_EXCL),
                      kNewFileBits);
        struct stat now {};
        if (e.fd < 0) return refuse(errno);
        if (::fstat(e.fd, &now) != 0) {
            const int error = errno;
            ::close(e.fd);
            if (!e.existed) ::unlink(e.target.c_str());
            return refuse(error);
        }
        e.formerLength = now.st_size;
        e.dev = now.st_dev;
        e.ino = now.st_ino;
    } else {
        // A file the user may not write is not replaced behind its back.
        if (e.existed && ::access(e.target.c_str(), W_OK) != 0) return refuse(errno);
        e.bits = e.existed ? (st.st_mode & kPermissionBits) : (kNewFileBits & ~CurrentUmask());
        bool inPlace = e.existed && !RenameKeepsIdentity(st, e.target);
        if (!inPlace) {
            e.fd = CreateFresh([&] { return Beside(e.target, "tmp"); }, e.temp);
            if (e.fd >= 0) {
                e.way = Way::kTemporary;
            } else if (e.existed && (errno == EACCES || errno == EPERM || errno == EROFS)) {
                inPlace = true;  // a folder that takes no new file may hold a writable one
            } else {
                return refuse(errno);
            }
        }
        if (inPlace) {
            e.way = Way::kInPlace;
            if (!EmptyInPlace(e, st.st_size)) return refuse(errno);
        }
    }
    m_entries.push_back(std::move(e));
    return m_entries.back().fd;
}

bool Call::Finish() { return m_entries.empty() || FinishEntry(m_entries.size() - 1); }

bool Call::FinishEntry(size_t at) {
    Entry& e = m_entries[at];
    if (e.finished) return true;
    e.finished = true;
    switch (e.way) {
        case Way::kTemporary: {
            if (::fchmod(e.fd, e.bits) != 0 || ::fsync(e.fd) != 0) return Failed(at, errno);
            const int fd = e.fd;
            e.fd = -1;
            if (::close(fd) != 0 && errno != EINTR) return Failed(at, errno);
            return true;
        }
        case Way::kInPlace:
        case Way::kAppend:
            return ::fsync(e.fd) == 0 || Failed(at, errno);
        default:
            return true;
    }
}

void Call::SetAside(const std::string& asked) {
    Entry e;
    e.asked = asked;
    e.target = FollowLinks(asked);
    struct stat st {};
    if (::stat(e.target.c_str(), &st) != 0) {
        e.way = Way::kAbsent;
        m_entries.push_back(std::move(e));
        return;
    }
    // A folder, a device, a file the user may not write: the writer says.
    if (!S_ISREG(st.st_mode) || ::access(e.target.c_str(), W_OK) != 0) return;
    e.existed = true;
    e.bits = st.st_mode & kPermissionBits;
    if (RenameKeepsIdentity(st, e.target)) {
        e.kept = LinkBeside(e.target);
        if (!e.kept.empty() && ::unlink(e.target.c_str()) == 0) {
            e.way = Way::kMovedAside;
            m_entries.push_back(std::move(e));
            return;
        }
        if (!e.kept.empty()) ::unlink(e.kept.c_str());
    }
    e.way = Way::kCopiedAside;
    // Left as it was when it cannot be emptied: the writer says why.
    if (EmptyInPlace(e, st.st_size)) m_entries.push_back(std::move(e));
}

bool Call::KeepFormer(Entry& e) {
    e.kept = LinkBeside(e.target);
    if (e.kept.empty()) e.kept = CopyAside(e.target);
    return !e.kept.empty();
}

bool Call::EmptyInPlace(Entry& e, off_t formerSize) {
    e.kept = CopyAside(e.target);
    e.lost = e.kept.empty() && formerSize > 0;
    e.fd = ::open(e.target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (e.fd >= 0) return true;
    const int error = errno;
    if (!e.kept.empty()) ::unlink(e.kept.c_str());
    errno = error;
    return false;
}

bool Call::Commit() {
    for (size_t k = 0; k < m_entries.size(); ++k)
        if (!FinishEntry(k)) return false;
    size_t last = m_entries.size();
    for (size_t k = 0; k < m_entries.size(); ++k)
        if (m_entries[k].way == Way::kTemporary) last = k;
    // Every replaced file but the last keeps a second name until the last
    // rename has succeeded: a failed rename puts the earlier ones back.
    for (size_t k = 0; k < last; ++k) {
        Entry& e = m_entries[k];
        if (e.way == Way::kTemporary && e.existed && !KeepFormer(e)) return Failed(k, errno);
    }
    std::set<std::string> folders;
    for (size_t k = 0; k < m_entries.size(); ++k) {
        Entry& e = m_entries[k];
        if (e.way != Way::kTemporary) continue;
        if (Rename(e.temp.c_str(), e.target.c_str()) != 0) return Failed(k, errno);
        e.renamed = true;
        folders.insert(FolderOf(e.target));
    }
    // Once for the call, however many files it renamed there.
    for (const std::string& folder : folders)
        if (!SyncPath(folder, O_RDONLY | O_DIRECTORY)) return Failed(last, errno);
    for (Entry& e : m_entries) DropEntry(e);
    m_entries.clear();
    return true;
}

bool Call::Failed(size_t at, int error) {
    m_error = error;
    m_failedName = m_entries[at].asked;
    m_failedLost = m_entries[at].lost;
    Undo();
    return false;
}

void Call::Fail(int error) {
    if (m_entries.empty()) {
        m_error = error;
        return;
    }
    Failed(m_entries.size() - 1, error);
}

void Call::Undo() {
    for (auto e = m_entries.rbegin(); e != m_entries.rend(); ++e) UndoEntry(*e);
    m_entries.clear();
}

void Call::UndoEntry(Entry& e) {
    switch (e.way) {
        case Way::kTemporary:
            if (e.fd >= 0) ::close(e.fd);
            if (!e.renamed) {
                ::unlink(e.temp.c_str());
            } else if (!e.kept.empty()) {
                PutBack(e.kept, e.target, e.bits);
            } else if (!e.existed) {
                ::unlink(e.target.c_str());
            }
            break;
        case Way::kInPlace:
        case Way::kCopiedAside:
            if (!e.kept.empty()) {
                CopyBack(e.kept, e.fd);
                ::unlink(e.kept.c_str());
            }
            ::close(e.fd);
            break;
        case Way::kAppend: {
            if (e.existed) {
                // On the open descriptor: a file renamed over the name meanwhile is never cut.
                if (::ftruncate(e.fd, e.formerLength) == 0) (void)::fsync(e.fd);
            } else {
                struct stat now {};
                if (::lstat(e.target.c_str(), &now) == 0 && now.st_dev == e.dev && now.st_ino == e.ino)
                    ::unlink(e.target.c_str());
            }
            ::close(e.fd);
            break;
        }
        case Way::kDevice:
            ::close(e.fd);
            break;
        case Way::kMovedAside:
            PutBack(e.kept, e.target, e.bits);
            break;
        case Way::kAbsent: {
            struct stat now {};
            if (::lstat(e.target.c_str(), &now) == 0 && S_ISREG(now.st_mode)) ::unlink(e.target.c_str());
            break;
        }
    }
    e.fd = -1;
}

void Call::DropEntry(Entry& e) {
    if (e.fd >= 0) ::close(e.fd);
    e.fd = -1;
    if (e.way == Way::kMovedAside) {
        // The new file under the name takes the former one's permission bits.
        struct stat now {};
        if (::stat(e.target.c_str(), &now) == 0 && S_ISREG(now.st_mode) && now.st_uid == ::geteuid())
            (void)::chmod(e.target.c_str(), e.bits);
    }
    if (!e.kept.empty()) ::unlink(e.kept.c_str());
}

std::string Call::Describe(const char* what) const {
    std::string text = std::string(what) + m_failedName + " (" + std::strerror(m_error) + ")";
    if (m_failedLost) text += "; its former content could not be kept";
    return text;
}

std::vector<std::string> Call::LostNames() const {
    std::vector<std::string> names;
    for (const Entry& e : m_entries)
        if (e.lost) names.push_back(e.asked);
    return names;
}

}  // namespace filereplace
