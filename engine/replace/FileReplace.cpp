#include "FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
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
constexpr size_t kAttributeList = 64u << 10;
constexpr char kUserAttribute[] = "user.";
constexpr char kNoCopy[] = "no copy of its former content could be kept";

std::function<int(Step, const std::string&)>& FaultHook() {
    static std::function<int(Step, const std::string&)> hook;
    return hook;
}

// True, with errno set, where a test makes the step fail.
bool Faulted(Step step, const std::string& path) {
    const auto& hook = FaultHook();
    const int error = hook ? hook(step, path) : 0;
    if (error == 0) return false;
    errno = error;
    return true;
}

int Rename(const std::string& from, const std::string& to) {
    return Faulted(Step::kRename, to) ? -1 : ::rename(from.c_str(), to.c_str());
}

int Chmod(int fd, const std::string& path, mode_t bits) {
    return Faulted(Step::kChmod, path) ? -1 : ::fchmod(fd, bits);
}

// File systems without permission bits (FAT, many FUSE mounts) refuse to
// set them on the user's own file: the file goes on with what it has.
bool KeepsNoBits(int error) { return error == ENOSYS || error == EPERM || error == EOPNOTSUPP; }

// A write past the file-size limit would end the process in the middle of
// a file: ignored, the write fails with EFBIG like any other.
void IgnoreFileSizeSignal() {
    struct sigaction now {};
    if (::sigaction(SIGXFSZ, nullptr, &now) != 0 || (now.sa_flags & SA_SIGINFO) != 0 || now.sa_handler != SIG_DFL)
        return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    (void)::sigaction(SIGXFSZ, &ignore, nullptr);
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

std::string SystemText(int error) { return std::strerror(error); }

// The user's own folder for copies that cannot stay beside their file:
// made readable by the user alone, and refused when someone else's.
bool PrivateFolder(std::string& folder, std::string& why) {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ormid-" + std::to_string(::geteuid());
    struct stat st {};
    if ((::mkdir(folder.c_str(), kPrivateFolderBits) != 0 && errno != EEXIST) || ::lstat(folder.c_str(), &st) != 0) {
        why = SystemText(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        why = "not the user's own folder";
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
        if (Faulted(Step::kCreate, created)) return -1;
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

// A folder that cannot be opened (one the user may write but not read) or
// synced is no reason to undo renames that have all been made.
void SyncFolder(const std::string& folder) {
    if (Faulted(Step::kFolderSync, folder)) return;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
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

// The user's attributes (tags a file manager shows) go with the content,
// as the permission bits do.  Where the file system has none, nothing goes.
void CopyUserAttributes(const std::string& from, int to) {
    std::vector<char> names(kAttributeList);
    const ssize_t size = ::listxattr(from.c_str(), names.data(), names.size());
    if (size <= 0) return;
    std::vector<char> value;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        if (std::strncmp(name, kUserAttribute, sizeof kUserAttribute - 1) != 0) continue;
        const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
        if (length < 0) continue;
        value.resize(static_cast<size_t>(length));
        const ssize_t got = ::getxattr(from.c_str(), name, value.data(), value.size());
        if (got >= 0) (void)::fsetxattr(to, name, value.data(), static_cast<size_t>(got), 0);
    }
}

// A copy of the content of from (the file target), beside it or else in
// the user's own folder, synced before the file is touched.  "" when none
// could be made, with why saying what each place answered.
std::string CopyAside(int from, const std::string& target, std::string& why) {
    std::string kept;
    why.clear();
    for (int place = 0; place < 2; ++place) {
        std::string folder, refused;
        if (place == 1 && !PrivateFolder(folder, refused)) {
            why += ", in " + folder + " (" + refused + ")";
            break;
        }
        const int to = place == 0 ? CreateFresh([&] { return Beside(target, "kept"); }, kept)
                                  : CreateFresh([&] { return NameIn(folder, BaseOf(target), false, "kept"); }, kept);
        int error = errno;
        if (to >= 0) {
            const bool ok = CopyBytes(from, to) && ::fsync(to) == 0;
            error = errno;
            if (ok) CopyUserAttributes(target, to);
            ::close(to);
            if (ok) return kept;
            ::unlink(kept.c_str());
        }
        why += (place == 0 ? "beside it (" : ", in " + folder + " (") + SystemText(error) + ")";
        errno = error;
    }
    return {};
}

// A second name beside the file for its content ("" when the folder or
// the file system refuses one).
std::string LinkBeside(const std::string& target) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string kept = Beside(target, "kept");
        if (Faulted(Step::kLink, target)) break;
        if (::link(target.c_str(), kept.c_str()) == 0) return kept;
        if (errno != EEXIST) break;
    }
    return {};
}

// The file itself under a name beside it, the name left empty: a second
// name and the first removed, or (a file system without hard links) the
// file renamed.  "" when neither can be done.
std::string MoveBeside(const std::string& target) {
    std::string kept = LinkBeside(target);
    if (!kept.empty()) {
        if (::unlink(target.c_str()) == 0) return kept;
        ::unlink(kept.c_str());
        return {};
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        kept = Beside(target, "kept");
        struct stat st {};
        if (::lstat(kept.c_str(), &st) == 0) continue;
        return Rename(target, kept) == 0 ? kept : std::string();
    }
    return {};
}

bool SameFile(const struct stat& st, dev_t dev, ino_t ino) { return st.st_dev == dev && st.st_ino == ino; }

// The file of fd gets these permission bits again where its owner writes:
// a write or a cut by a user without the right to keep them clears the
// set-user-ID and set-group-ID bits, and only the owner may set them.
void GiveBitsBack(int fd, mode_t bits) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & kPermissionBits) != bits)
        (void)::fchmod(fd, bits);
}

// The kept bytes written back into the file of fd, which stays the file it
// was (inode, owner, group, links), its permission bits put back too.
bool WriteBack(const std::string& kept, int fd, mode_t bits) {
    if (Faulted(Step::kPutBack, kept)) return false;
    const int from = ::open(kept.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return false;
    const bool ok = ::ftruncate(fd, 0) == 0 && CopyBytes(from, fd) && ::fsync(fd) == 0;
    ::close(from);
    if (ok) GiveBitsBack(fd, bits);
    return ok;
}

// The kept file goes under the name, in place of whatever stands there:
// renamed when it lies in the same file system, else its bytes written over
// the file at the name.  True when nothing of it is left beside.
bool PutBackByName(const std::string& kept, const std::string& target, mode_t bits) {
    if (Faulted(Step::kPutBack, kept)) return false;
    // A copy (no hard link could be made) is the user's alone until now.
    (void)::chmod(kept.c_str(), bits);
    struct stat before {};
    const bool haveKept = ::lstat(kept.c_str(), &before) == 0;
    if (Rename(kept, target) == 0) {
        // Two names of one file: the rename leaves both.
        struct stat still {};
        if (haveKept && ::lstat(kept.c_str(), &still) == 0 && SameFile(still, before.st_dev, before.st_ino))
            ::unlink(kept.c_str());
        return true;
    }
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, kPrivateBits);
    if (fd < 0) return false;
    const bool ok = WriteBack(kept, fd, bits);
    ::close(fd);
    if (ok) ::unlink(kept.c_str());
    return ok;
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

// The empty file SetAside leaves gets a modification time no file written
// now has: a file whose inode number is reused for the writer's new file,
// or one the writer appended to, can then not pass for it.
void MarkUntouched(int fd) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {0, 0}};
    (void)::futimens(fd, times);
}

// Only the set-user-ID and set-group-ID bits can have gone with a write.
void KeepSetIdBits(int fd, mode_t bits) {
    if ((bits & (S_ISUID | S_ISGID)) != 0) GiveBitsBack(fd, bits);
}

// A name whose former content could not be kept, cleared for a writer that
// appends: removed, else emptied; left, with why, where neither can be done.
Aside Clear(const std::string& target, std::string& why) {
    if (!Faulted(Step::kClear, target) && ::unlink(target.c_str()) == 0) return Aside::kRemoved;
    why = "it could not be removed (" + SystemText(errno) + ")";
    if (!Faulted(Step::kClear, target)) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd >= 0) {
            (void)::fsync(fd);
            ::close(fd);
            return Aside::kEmptied;
        }
    }
    why += " nor emptied (" + SystemText(errno) + ")";
    return Aside::kLeft;
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
        if (n <= 0) return {};
        if (static_cast<size_t>(n) == target.size()) {
            errno = ENAMETOOLONG;
            return {};
        }
        target.resize(static_cast<size_t>(n));
        const size_t slash = p.rfind('/');
        if (target[0] != '/' && slash != std::string::npos) target.insert(0, p, 0, slash + 1);
        p = std::move(target);
    }
    errno = ELOOP;
    return {};
}

void InstallFault(std::function<int(Step, const std::string&)> fault) { FaultHook() = std::move(fault); }

Call::~Call() { Undo(); }

int Call::Refuse(const std::string& asked, int error, std::string cause) {
    m_error = error;
    m_cause = cause.empty() ? SystemText(error) : std::move(cause);
    m_failedName = asked;
    return -1;
}

int Call::Open(const std::string& asked, Mode mode, Bits bits) {
    IgnoreFileSizeSignal();
    Entry e;
    e.asked = asked;
    e.target = FollowLinks(asked);
    if (e.target.empty()) return Refuse(asked, errno);
    struct stat st {};
    e.existed = ::stat(e.target.c_str(), &st) == 0;
    if (!e.existed && errno != ENOENT) return Refuse(asked, errno);
    if (e.existed && S_ISDIR(st.st_mode)) return Refuse(asked, EISDIR);
    e.privateBits = bits == Bits::kPrivate;
    e.bits = e.privateBits ? kPrivateBits
             : e.existed   ? (st.st_mode & kPermissionBits)
                           : kNewFileBits & ~CurrentUmask();
    e.former = e.existed ? (st.st_mode & kPermissionBits) : e.bits;
    if (e.existed && !S_ISREG(st.st_mode)) {
        // A device or a pipe: nothing to rename over, nothing to keep.
        e.way = Way::kDevice;
        e.fd = ::open(e.target.c_str(), O_WRONLY | O_CLOEXEC | (mode == Mode::kAppend ? O_APPEND : O_TRUNC));
        if (e.fd < 0) return Refuse(asked, errno);
    } else if (mode == Mode::kAppend) {
        e.way = Way::kAppend;
        e.fd = ::open(e.target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | (e.existed ? 0 : O_CREAT | O_EXCL), e.bits);
        struct stat now {};
        if (e.fd < 0) return Refuse(asked, errno);
        if (::fstat(e.fd, &now) != 0) {
            const int error = errno;
            ::close(e.fd);
            if (!e.existed) ::unlink(e.target.c_str());
            return Refuse(asked, error);
        }
        e.formerLength = now.st_size;
        e.dev = now.st_dev;
        e.ino = now.st_ino;
    } else {
        // A file the user may not write is not replaced behind its back.
        if (e.existed && ::access(e.target.c_str(), W_OK) != 0) return Refuse(asked, errno);
        bool inPlace = e.existed && !RenameKeepsIdentity(st, e.target);
        if (!inPlace) {
            e.fd = CreateFresh([&] { return Beside(e.target, "tmp"); }, e.temp);
            if (e.fd >= 0) {
                e.way = Way::kTemporary;
            } else if (e.existed && (errno == EACCES || errno == EPERM || errno == EROFS)) {
                inPlace = true;  // a folder that takes no new file may hold a writable one
            } else {
                return Refuse(asked, errno);
            }
        }
        if (inPlace) {
            e.way = Way::kInPlace;
            if (!EmptyInPlace(e, st.st_size)) return Refuse(asked, m_error, m_cause);
            // A private file is the user's alone before its first new byte.
            if (e.privateBits && Chmod(e.fd, e.target, e.bits) != 0 && !KeepsNoBits(errno)) {
                const int error = errno;
                Restore(e);
                ::close(e.fd);
                return Refuse(asked, error);
            }
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
    if (e.fd < 0) return true;
    switch (e.way) {
        case Way::kTemporary: {
            if (Chmod(e.fd, e.temp, e.bits) != 0 && !KeepsNoBits(errno)) return Failed(at, errno);
            if (e.existed) CopyUserAttributes(e.target, e.fd);
            struct stat st {};
            if (::fsync(e.fd) != 0 || ::fstat(e.fd, &st) != 0) return Failed(at, errno);
            e.dev = st.st_dev;
            e.ino = st.st_ino;
            break;
        }
        case Way::kInPlace:
        case Way::kAppend:
            KeepSetIdBits(e.fd, e.way == Way::kInPlace ? e.bits : e.former);
            if (::fsync(e.fd) != 0) return Failed(at, errno);
            break;
        default:
            break;
    }
    // Only the file being written holds a descriptor.
    const int fd = e.fd;
    e.fd = -1;
    if (::close(fd) != 0 && errno != EINTR && e.way != Way::kDevice) return Failed(at, errno);
    return true;
}

Aside Call::SetAside(const std::string& asked, Unkept unkept) {
    Entry e;
    e.asked = asked;
    e.target = FollowLinks(asked);
    if (e.target.empty()) return Aside::kSetAside;  // a link loop: the writer says so
    struct stat st {};
    if (::stat(e.target.c_str(), &st) != 0) {
        if (errno != ENOENT) return Aside::kSetAside;
        e.way = Way::kAbsent;
        m_entries.push_back(std::move(e));
        return Aside::kSetAside;
    }
    // A folder, a device, a file the user may not write: the writer says.
    if (!S_ISREG(st.st_mode) || ::access(e.target.c_str(), W_OK) != 0) return Aside::kSetAside;
    e.existed = true;
    e.bits = e.former = st.st_mode & kPermissionBits;
    if (RenameKeepsIdentity(st, e.target)) {
        e.kept = MoveBeside(e.target);
        if (!e.kept.empty()) {
            // An empty file of the former one's bits and attributes in its
            // place: the writer's file takes them from it.
            const int fd = Faulted(Step::kCreate, e.target)
                               ? -1
                               : ::open(e.target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateBits);
            if (fd >= 0) {
                (void)Chmod(fd, e.target, e.bits);  // where refused, it stays the user's alone
                CopyUserAttributes(e.kept, fd);
                MarkUntouched(fd);
                struct stat now {};
                if (::fstat(fd, &now) == 0) {
                    e.dev = now.st_dev;
                    e.ino = now.st_ino;
                    e.mtime = now.st_mtim;
                } else {
                    ::unlink(e.target.c_str());  // one it could not tell from the writer's
                }
                ::close(fd);
            }
            // Without the empty file the name stays empty: a writer that
            // appends must not find the former content there, and one that
            // makes no file of its own has the former content put back.
            e.way = Way::kMovedAside;
            m_entries.push_back(std::move(e));
            return Aside::kSetAside;
        }
    }
    e.way = Way::kCopiedAside;
    if (!EmptyInPlace(e, st.st_size)) {
        // A writer from the start fails on it and says why; one that
        // appends would add to the former content.
        if (unkept == Unkept::kLeave) return Aside::kLeft;
        std::string why;
        const Aside done = Clear(e.target, why);
        if (done == Aside::kLeft) m_cause += "; " + why;
        return done;
    }
    MarkUntouched(e.fd);
    struct stat now {};
    if (::fstat(e.fd, &now) == 0) e.mtime = now.st_mtim;
    ::close(e.fd);
    e.fd = -1;
    m_entries.push_back(std::move(e));
    return Aside::kSetAside;
}

bool Call::KeepFormer(Entry& e) {
    e.kept = LinkBeside(e.target);
    if (!e.kept.empty()) return true;
    const int from = ::open(e.target.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        m_cause = kNoCopy + (" (" + SystemText(errno) + ")");
        return false;
    }
    std::string why;
    e.kept = CopyAside(from, e.target, why);
    const int error = errno;
    ::close(from);
    errno = error;
    if (e.kept.empty()) m_cause = kNoCopy + (": " + why);
    return !e.kept.empty();
}

bool Call::EmptyInPlace(Entry& e, off_t formerSize) {
    // One descriptor reads the copy and empties the file: no other file can
    // come between the two.
    const int fd = Faulted(Step::kOpen, e.target)
                       ? -1
                       : ::open(e.target.c_str(), (formerSize > 0 ? O_RDWR : O_WRONLY) | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        m_cause = SystemText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        m_error = errno;
        m_cause = SystemText(errno);
        ::close(fd);
        return false;
    }
    if (st.st_size > 0) {
        std::string why;
        e.kept = CopyAside(fd, e.target, why);
        if (e.kept.empty()) {
            m_error = errno;
            m_cause = kNoCopy + (": " + why);
            ::close(fd);
            return false;
        }
    }
    if (::ftruncate(fd, 0) != 0) {
        m_error = errno;
        m_cause = SystemText(errno);
        ::close(fd);
        if (!e.kept.empty()) ::unlink(e.kept.c_str());
        e.kept.clear();
        return false;
    }
    e.fd = fd;
    e.dev = st.st_dev;
    e.ino = st.st_ino;
    return true;
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
        if (e.way == Way::kTemporary && e.existed && !KeepFormer(e)) return Failed(k, errno, m_cause);
    }
    std::set<std::pair<dev_t, ino_t>> synced;
    std::vector<std::string> folders;
    for (size_t k = 0; k < m_entries.size(); ++k) {
        Entry& e = m_entries[k];
        if (e.way != Way::kTemporary) continue;
        if (Rename(e.temp, e.target) != 0) return Failed(k, errno);
        e.renamed = true;
        const std::string folder = FolderOf(e.target);
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || synced.insert({st.st_dev, st.st_ino}).second) folders.push_back(folder);
    }
    // Once for the call, however many files it renamed there.
    for (const std::string& folder : folders) SyncFolder(folder);
    for (Entry& e : m_entries) DropEntry(e);
    m_entries.clear();
    return true;
}

bool Call::Failed(size_t at, int error, std::string cause) {
    m_error = error;
    m_cause = cause.empty() ? SystemText(error) : std::move(cause);
    m_failedName = m_entries[at].asked;
    Undo();
    return false;
}

void Call::Fail(int error) {
    if (m_entries.empty()) {
        m_error = error;
        m_cause = SystemText(error);
        return;
    }
    Failed(m_entries.size() - 1, error);
}

void Call::Undo() {
    for (auto e = m_entries.rbegin(); e != m_entries.rend(); ++e) UndoEntry(*e);
    m_entries.clear();
}

void Call::Restore(Entry& e) {
    if (e.kept.empty()) return;
    struct stat atName {};
    if (::stat(e.target.c_str(), &atName) != 0 || !SameFile(atName, e.dev, e.ino)) return PutBack(e);
    const int fd = e.fd >= 0 ? e.fd : ::open(e.target.c_str(), O_WRONLY | O_CLOEXEC);
    struct stat st {};
    const bool ok = fd >= 0 && ::fstat(fd, &st) == 0 && SameFile(st, e.dev, e.ino) && WriteBack(e.kept, fd, e.former);
    if (fd >= 0 && fd != e.fd) ::close(fd);
    if (ok) {
        ::unlink(e.kept.c_str());
    } else {
        m_unrestored.push_back({e.asked, e.kept});
    }
    e.kept.clear();
}

void Call::PutBack(Entry& e) {
    if (!PutBackByName(e.kept, e.target, e.former)) m_unrestored.push_back({e.asked, e.kept});
    e.kept.clear();
}

void Call::UndoEntry(Entry& e) {
    switch (e.way) {
        case Way::kTemporary:
            if (e.fd >= 0) ::close(e.fd);
            e.fd = -1;
            if (!e.renamed) {
                ::unlink(e.temp.c_str());
                if (!e.kept.empty()) ::unlink(e.kept.c_str());  // the former file still stands at the name
            } else if (!e.kept.empty()) {
                PutBack(e);
            } else if (!e.existed) {
                // Only the file this call made: another one put there meanwhile stays.
                struct stat now {};
                if (::lstat(e.target.c_str(), &now) == 0 && SameFile(now, e.dev, e.ino)) ::unlink(e.target.c_str());
            }
            break;
        case Way::kInPlace:
        case Way::kCopiedAside:
            Restore(e);
            break;
        case Way::kAppend: {
            struct stat now {};
            const bool stands = ::lstat(e.target.c_str(), &now) == 0 && SameFile(now, e.dev, e.ino);
            if (e.existed) {
                // Cut on the file it wrote: one renamed over the name meanwhile is never cut.
                const int fd = e.fd >= 0 ? e.fd : stands ? ::open(e.target.c_str(), O_WRONLY | O_CLOEXEC) : -1;
                struct stat st {};
                if (fd >= 0 && ::fstat(fd, &st) == 0 && SameFile(st, e.dev, e.ino) &&
                    ::ftruncate(fd, e.formerLength) == 0) {
                    KeepSetIdBits(fd, e.former);
                    (void)::fsync(fd);
                }
                if (fd >= 0 && fd != e.fd) ::close(fd);
            } else if (stands) {
                ::unlink(e.target.c_str());
            }
            break;
        }
        case Way::kDevice:
            break;
        case Way::kMovedAside:
            PutBack(e);
            break;
        case Way::kAbsent: {
            struct stat now {};
            if (::lstat(e.target.c_str(), &now) == 0 && S_ISREG(now.st_mode)) ::unlink(e.target.c_str());
            break;
        }
    }
    if (e.fd >= 0) ::close(e.fd);
    e.fd = -1;
}

void Call::DropEntry(Entry& e) {
    if (e.fd >= 0) ::close(e.fd);
    e.fd = -1;
    if (e.way == Way::kMovedAside || e.way == Way::kCopiedAside) {
        // The writer made nothing (it could not create its file): the name
        // holds no file, or still the empty one left for it.
        struct stat now {};
        const bool none = ::stat(e.target.c_str(), &now) != 0;
        if (none || (SameFile(now, e.dev, e.ino) && now.st_size == 0 && now.st_mtim.tv_sec == e.mtime.tv_sec &&
                     now.st_mtim.tv_nsec == e.mtime.tv_nsec)) {
            UndoEntry(e);
            return;
        }
    }
    if (!e.kept.empty()) ::unlink(e.kept.c_str());
}

std::string Call::Describe(const char* what) const {
    std::string text = std::string(what) + m_failedName + " (" + m_cause + ")";
    for (const Unrestored& u : m_unrestored)
        text += u.asked == m_failedName ? "; its former content is kept in " + u.kept
                                        : "; the former content of " + u.asked + " is kept in " + u.kept;
    m_told = m_unrestored.size();
    return text;
}

std::vector<std::string> Call::Untold() {
    std::vector<std::string> texts;
    for (; m_told < m_unrestored.size(); ++m_told)
        texts.push_back("The former content of " + m_unrestored[m_told].asked +
                        " could not be put back: it is kept in " + m_unrestored[m_told].kept);
    return texts;
}

}  // namespace filereplace
