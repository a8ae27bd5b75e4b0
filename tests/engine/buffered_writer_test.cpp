// The buffered writer, and every export that writes a file, on files that
// cannot take all their bytes; where the bytes of a written file end up
// (links, permission bits, devices and pipes, numbered files).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <cstdlib>
#include <regex>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FileReplace.h"
#include "buffered_writer.h"
#include "fixture.h"
#include "parallel.h"

using fx::Recorder;
using fx::TempDir;
using V = std::vector<std::string>;

namespace {

struct Outcome {
    int32_t result;
    V errors;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << o.result << " {";
    for (const auto& e : o.errors) *os << " \"" << e << "\"";
    *os << " }";
}

constexpr rlim_t kNoLimit = RLIM_INFINITY;

bool WriteAll(int fd, const void* bytes, size_t n) {
    const char* p = static_cast<const char*>(bytes);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// A user the system has, for files that are not the writer's.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

enum class As { kThisUser, kNobody };
// SIGXFSZ as a test sets it, or at its default, which ends the process
// unless the writer ignores it.
enum class FileSizeSignal { kIgnored, kDefault };

// Runs body in a child process whose files cannot grow past limit bytes; a
// write beyond fails (EFBIG) instead of raising SIGXFSZ, as on a full disk.
// Returns what body returned and the messages of the error slot.
Outcome WithFileLimit(rlim_t limit, const std::function<int32_t()>& body, As as = As::kThisUser,
                      FileSizeSignal signal = FileSizeSignal::kIgnored) {
    int fds[2];
    if (::pipe(fds) != 0) return {-99, {"pipe failed"}};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, signal == FileSizeSignal::kIgnored ? SIG_IGN : SIG_DFL);
        const rlimit lim{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) ::_exit(2);
        if (as == As::kNobody && (::setgroups(0, nullptr) != 0 || ::setgid(kNogroup) != 0 || ::setuid(kNobody) != 0))
            ::_exit(4);
        Recorder rec;
        rec.Register();
        const int32_t result = body();
        bool ok = WriteAll(fds[1], &result, sizeof result);
        for (const auto& e : rec.Texts('E')) {
            const uint32_t n = static_cast<uint32_t>(e.size());
            ok = ok && WriteAll(fds[1], &n, sizeof n) && WriteAll(fds[1], e.data(), n);
        }
        ::_exit(ok ? 0 : 3);
    }
    ::close(fds[1]);
    std::string bytes;
    char buf[4096];
    for (ssize_t got; (got = ::read(fds[0], buf, sizeof buf)) > 0;) bytes.append(buf, static_cast<size_t>(got));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || bytes.size() < sizeof(int32_t))
        return {-99, {"child failed"}};
    Outcome out{0, {}};
    std::memcpy(&out.result, bytes.data(), sizeof out.result);
    for (size_t at = sizeof(int32_t); at + sizeof(uint32_t) <= bytes.size();) {
        uint32_t n = 0;
        std::memcpy(&n, bytes.data() + at, sizeof n);
        at += sizeof n;
        out.errors.push_back(bytes.substr(at, n));
        at += n;
    }
    return out;
}

mode_t BitsOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// The names in the folder, sorted.
V Names(const TempDir& dir) {
    V names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path(""))) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Every file of the folder with its bytes, sorted by name.
using Snapshot = std::vector<std::pair<std::string, std::string>>;
Snapshot Contents(const TempDir& dir) {
    Snapshot files;
    for (const auto& name : Names(dir)) files.emplace_back(name, dir.Read(name));
    return files;
}

// Empties the folder for the next row, but for the file named keep.
void EmptyFolder(const TempDir& dir, const std::string& keep = {}) {
    for (const auto& e : std::filesystem::directory_iterator(dir.Path("")))
        if (e.path().filename() != keep) std::filesystem::remove(e.path());
}

class WriteFailures : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    TempDir dir;
};

TEST_F(WriteFailures, WriterKeepsTheFirstFailure) {
    const std::string big(3u << 20, 'x');  // past the buffer: flushed while adding
    struct Row {
        const char* name;
        rlim_t limit;
        std::vector<std::string> adds;
        bool closes;
        uintmax_t size;  // of the file afterwards, when it closes
    } rows[] = {
        {"fits", 64, {"abc", "def"}, true, 6},
        {"fits exactly", 6, {"abc", "def"}, true, 6},
        {"one byte too many", 5, {"abc", "def"}, false, 0},
        {"failed while adding, the rest is dropped", 1u << 20, {big, "tail"}, false, 0},
        {"a large file that fits", 4u << 20, {big, big.substr(0, 1000)}, true, (3u << 20) + 1000},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string path = dir.Path("w.out");
        std::filesystem::remove(path);
        const Outcome got = WithFileLimit(r.limit, [&] {
            yrb::BufferedWriter w;
            if (!w.Open(path, "wb")) return -5;
            for (const auto& a : r.adds) w.Add(a);
            return w.Close() ? 1 : 0;
        });
        const Outcome want =
            r.closes ? Outcome{1, {}} : Outcome{0, {"Could not write to file : " + path + " (File too large)"}};
        EXPECT_EQ(got, want);
        // A file that failed is not left under the name, cut or whole.
        if (r.closes) {
            EXPECT_EQ(std::filesystem::file_size(path), r.size);
        } else {
            EXPECT_FALSE(std::filesystem::exists(path));
        }
        EXPECT_EQ(Names(dir), r.closes ? V{"w.out"} : V{});  // no temporary file left
    }
}

TEST_F(WriteFailures, WriterWithoutFile) {
    Recorder rec;
    rec.Register();
    yrb::BufferedWriter w;
    EXPECT_FALSE(w.Open(dir.Path("no/such/folder/x"), "wb"));
    w.Add("dropped");
    EXPECT_TRUE(w.Close());
    EXPECT_FALSE(w.OpenChecked("", "wb"));
    EXPECT_EQ(rec.Texts('E'), (V{"Could not open file : No file name specified (length = 0)"}));
}

// Each export that writes a file, once on a file that takes all its bytes and
// once on one that cannot: then -1, the message naming the file and the
// cause, and the folder exactly as before the call, whether the file was
// there before (appended files at their former length) or not.
TEST_F(WriteFailures, EveryWritingExport) {
    std::string many;  // some 1.3 MB written: the buffer is flushed on the way
    for (int k = 0; k < 60000; ++k) many += "someone" + std::to_string(k) + "@example.org\n";
    const std::string out = dir.Path("list.out");
    const std::string dup = dir.Path("list.dup");
    const std::string inv = dir.Path("list.inv");
    const std::string sta = dir.Path("list.sta");
    struct Row {
        const char* name;
        std::string list;
        rlim_t limit;
        std::function<int32_t()> call;
        int32_t whole;            // the result when the file takes every byte
        std::string failingFile;  // named by the message
        V former;                 // files of the folder before the call
    } rows[] = {
        {"list", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"); }, 3, out, {"list.out"}},
        {"list, w+b", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "w+b"); }, 3, out, {"list.out"}},
        {"list, appended", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "a+b"); }, 3, out, {"list.out"}},
        {"whole records", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 1, "", "\n", out.c_str(), 0, "wb"); }, 3, out, {"list.out"}},
        {"list larger than the buffer", many, 1u << 19,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"); }, 60000, out, {"list.out"}},
        // list_3.out and list_10.out look numbered but are not written by
        // a call of two files: they are never touched.
        {"numbered, the first file fails", "a@x\nb@y\nc@z\n", 5,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"); }, 3, dir.Path("list_1.out"),
         {"list_1.out", "list_2.out", "list_3.out", "list_10.out"}},
        {"numbered, the last file fails", "a@x\nb@y\ncccccccccccccccc@z\n", 10,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"); }, 3, dir.Path("list_2.out"),
         {"list_1.out", "list_2.out", "list_3.out", "list_10.out"}},
        // list_1.out is new and fits, list_2.out fails: the new one goes.
        {"numbered, appended", "a@x\nb@y\ncccccccccccccccc@z\n", 10,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "a+b"); }, 3, dir.Path("list_2.out"),
         {"list_2.out", "list_3.out"}},
        {"duplicates report", "a@x\nb@y\na@x\nb@y\n", 40,
         [&] { return YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, dup.c_str()); }, 2, dup, {"list.dup"}},
        {"duplicates report, None", "a@x\nb@y\n", 16,
         [&] { return YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, dup.c_str()); }, 0, dup, {"list.dup"}},
        {"invalid entries report", "a@x.zz\nb@y.zz\n", 40,
         [&] { return YRB12(1, 0x20, 0, 0, inv.c_str()); }, 2, inv, {"list.inv"}},
        {"invalid entries report, None", "\n\n", 16,
         [&] { return YRB12(1, 0x20, 0, 0, inv.c_str()); }, 0, inv, {"list.inv"}},
        {"statistics", "a@x.com\nb@y.org\nc@x.com\n", 40,
         [&] { return YRB23(1, sta.c_str(), 0, 0); }, 3, sta, {"list.sta"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string p = dir.Write("in.mal", r.list);
        ASSERT_GE(YRB13(1, p.c_str(), 0, "", "\n"), 0);
        // One thread, and workers that format blocks for the writing thread.
        for (unsigned workers : {1u, 4u}) {
            SCOPED_TRACE(workers);
            auto call = [&] {
                yrb::SetParallelForTesting(workers, 1);  // in the child only
                return r.call();
            };
            EmptyFolder(dir, "in.mal");
            EXPECT_EQ(WithFileLimit(kNoLimit, call), (Outcome{r.whole, {}}));
            for (bool withFormer : {false, true}) {
                SCOPED_TRACE(withFormer ? "former files" : "no file before");
                EmptyFolder(dir, "in.mal");
                if (withFormer)
                    for (const auto& name : r.former) dir.Write(name, "former " + name + "\n");
                const Snapshot before = Contents(dir);
                EXPECT_EQ(WithFileLimit(r.limit, call),
                          (Outcome{YRB_FAILED, {"Could not write to file : " + r.failingFile + " (File too large)"}}));
                EXPECT_EQ(Contents(dir), before);
            }
        }
    }
}

// Where a written file ends up: a symbolic link is followed and stays a link,
// a replaced file keeps its permission bits, a new one gets the usual ones,
// and a name that is not a regular file is written in place.
TEST_F(WriteFailures, WhereTheBytesGo) {
    namespace fs = std::filesystem;
    const mode_t formerMask = ::umask(022);
    struct Row {
        const char* name;
        std::function<void()> before;  // makes "name" in the folder
        const char* mode;
        std::string bytes;          // what the target holds afterwards
        std::string target;         // the file that receives them
        fs::perms perms;            // of the target afterwards
        bool nameIsLink;
        size_t files;               // in the folder afterwards: no temporary file left
    } rows[] = {
        {"new file", [] {}, "wb", "new", "name", fs::perms(0644), false, 1},
        {"replaced file keeps its bits", [&] {
             dir.Write("name", "former bytes");
             fs::permissions(dir.Path("name"), fs::perms(0640));
         }, "wb", "new", "name", fs::perms(0640), false, 1},
        {"replaced, group and others may write", [&] {
             dir.Write("name", "former");
             fs::permissions(dir.Path("name"), fs::perms(0666));
         }, "w+b", "new", "name", fs::perms(0666), false, 1},
        {"link to a file", [&] {
             dir.Write("target", "former bytes");
             fs::permissions(dir.Path("target"), fs::perms(0600));
             fs::create_symlink("target", dir.Path("name"));
         }, "wb", "new", "target", fs::perms(0600), true, 2},
        {"link to a link to a file", [&] {
             dir.Write("target", "former");
             fs::create_symlink("target", dir.Path("middle"));
             fs::create_symlink(dir.Path("middle"), dir.Path("name"));
         }, "wb", "new", "target", fs::perms(0644), true, 3},
        {"dangling link", [&] { fs::create_symlink("target", dir.Path("name")); }, "wb", "new", "target",
         fs::perms(0644), true, 2},
        {"appended through a link", [&] {
             dir.Write("target", "old;");
             fs::create_symlink("target", dir.Path("name"));
         }, "a+b", "old;new", "target", fs::perms(0644), true, 2},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EmptyFolder(dir);
        r.before();
        yrb::BufferedWriter w;
        ASSERT_TRUE(w.Open(dir.Path("name"), r.mode));
        w.Add("new");
        EXPECT_TRUE(w.Close());
        EXPECT_EQ(dir.Read(r.target), r.bytes);
        EXPECT_EQ(fs::status(dir.Path(r.target)).permissions(), r.perms);
        EXPECT_EQ(fs::is_symlink(dir.Path("name")), r.nameIsLink);
        EXPECT_EQ(Names(dir).size(), r.files);
    }
    ::umask(formerMask);
}

// A failed write through a link leaves the link and its target as they were.
TEST_F(WriteFailures, FailureThroughALink) {
    namespace fs = std::filesystem;
    for (const char* mode : {"wb", "a+b"}) {
        SCOPED_TRACE(mode);
        EmptyFolder(dir);
        dir.Write("target", "former bytes\n");
        fs::create_symlink("target", dir.Path("name"));
        const std::string name = dir.Path("name");
        const Outcome got = WithFileLimit(16, [&] {
            yrb::BufferedWriter w;
            if (!w.Open(name, mode)) return -5;
            w.Add(std::string(64, 'x'));
            return w.Close() ? 1 : 0;
        });
        EXPECT_EQ(got, (Outcome{0, {"Could not write to file : " + name + " (File too large)"}}));
        EXPECT_TRUE(fs::is_symlink(name));
        EXPECT_EQ(dir.Read("target"), "former bytes\n");
        EXPECT_EQ(Names(dir), (V{"name", "target"}));
    }
}

// Names that are not regular files are written in place: the device stays a
// device, the pipe's reader gets the bytes.
TEST_F(WriteFailures, NotARegularFile) {
    namespace fs = std::filesystem;
    {
        yrb::BufferedWriter w;
        ASSERT_TRUE(w.Open("/dev/null", "wb"));
        w.Add("dropped");
        EXPECT_TRUE(w.Close());
        EXPECT_TRUE(fs::is_character_file("/dev/null"));
    }
    const std::string fifo = dir.Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    {
        yrb::BufferedWriter w;
        ASSERT_TRUE(w.Open(fifo, "wb"));
        w.Add("through the pipe");
        EXPECT_TRUE(w.Close());
    }
    char buf[64] = {};
    EXPECT_EQ(::read(reader, buf, sizeof buf), 16);
    EXPECT_EQ(std::string(buf), "through the pipe");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Names(dir), (V{"pipe"}));
    // Through the export: the entries are written, counted, nothing replaced.
    const std::string p = dir.Write("in.mal", "a@x\nb@y\n");
    ASSERT_EQ(YRB13(1, p.c_str(), 0, "", "\n"), 2);
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", "/dev/null", 0, "wb"), 2);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// Numbered files: a call writes list_1.out and list_2.out over former ones,
// and list_3.out, list_10.out, list_2.out.bak are left alone.
TEST_F(WriteFailures, NumberedFilesLeaveOthersAlone) {
    const std::string p = dir.Write("in.mal", "a@x\nb@y\nc@z\n");
    ASSERT_EQ(YRB13(1, p.c_str(), 0, "", "\n"), 3);
    for (const char* name : {"list_1.out", "list_2.out", "list_3.out", "list_10.out", "list_2.out.bak"})
        dir.Write(name, std::string("former ") + name);
    const std::string out = dir.Path("list.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"), 3);
    EXPECT_EQ(Contents(dir), (Snapshot{{"in.mal", "a@x\nb@y\nc@z\n"},
                                       {"list_1.out", "a@x\nb@y"},
                                       {"list_10.out", "former list_10.out"},
                                       {"list_2.out", "c@z"},
                                       {"list_2.out.bak", "former list_2.out.bak"},
                                       {"list_3.out", "former list_3.out"}}));
}

// The open failures name the system's cause.
TEST_F(WriteFailures, OpenFailuresNameTheCause) {
    const std::string p = dir.Write("in.mal", "a@x\n");
    ASSERT_EQ(YRB13(1, p.c_str(), 0, "", "\n"), 1);
    std::filesystem::create_directory(dir.Path("folder"));
    const std::string folder = dir.Path("folder");
    const std::string missing = dir.Path("missing/list.out");
    // Two links that lead to each other: no file to write, and neither link
    // is replaced by one.
    std::filesystem::create_symlink("loop.b", dir.Path("loop.a"));
    std::filesystem::create_symlink("loop.a", dir.Path("loop.b"));
    const std::string loop = dir.Path("loop.a");
    struct Row {
        const char* name;
        std::function<int32_t()> call;
        V errors;
    } rows[] = {
        {"a folder as the list", [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", folder.c_str(), 0, "wb"); },
         {"Could not open file for writing : " + folder + " (Is a directory)"}},
        {"a folder as the appended list", [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", folder.c_str(), 0, "a+b"); },
         {"Could not open file for writing : " + folder + " (Is a directory)"}},
        {"no such folder", [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", missing.c_str(), 0, "wb"); },
         {"Could not open file for writing : " + missing + " (No such file or directory)"}},
        {"a link loop as the list", [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", loop.c_str(), 0, "wb"); },
         {"Could not open file for writing : " + loop + " (Too many levels of symbolic links)"}},
        {"a link loop as the appended list", [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", loop.c_str(), 0, "a+b"); },
         {"Could not open file for writing : " + loop + " (Too many levels of symbolic links)"}},
        {"statistics into a folder", [&] { return YRB23(1, folder.c_str(), 0, 0); },
         {"Could not open file for writing : " + folder + " (Is a directory)"}},
        {"duplicates into a folder", [&] { return YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, folder.c_str()); },
         {"Could not open file : " + folder + " (Is a directory)",
          "Could not open duplicate file for writing : " + folder}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(r.call(), YRB_FAILED);
        EXPECT_EQ(rec.Texts('E'), r.errors);
        EXPECT_EQ(Names(dir), (V{"folder", "in.mal", "loop.a", "loop.b"}));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("loop.a")));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("loop.b")));
    }
}

// Files that a rename would make other files (another owner or group, a
// second hard link), or that their folder cannot replace (a sticky folder
// and another user's file, a folder that takes no new file): written in
// place, a copy of the former content kept until the call succeeded and
// put back when it fails.  Rows marked as nobody run the export as that
// user, the others as the test's user; both need root to set up.
TEST_F(WriteFailures, FilesThatRenamingWouldChange) {
    namespace fs = std::filesystem;
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the files belong to other users and groups";
    std::string list;
    for (const char* a : {"ann@one.example", "bob@two.example", "cid@three.example", "dan@four.example"})
        list += std::string(a) + "\n";
    const std::string in = dir.Write("in.mal", list);
    ASSERT_EQ(YRB13(1, in.c_str(), 0, "", "\n"), 4);
    const std::string folder = dir.Path("o");
    const std::string kept = dir.Path("kept");  // the per-user folder of the copies
    auto make = [&](const std::string& name, const std::string& bytes, uid_t owner, gid_t group, mode_t bits) {
        dir.Write("o/" + name, bytes);
        const std::string p = folder + "/" + name;
        if (::chown(p.c_str(), owner, group) != 0 || ::chmod(p.c_str(), bits) != 0) ADD_FAILURE() << p;
    };
    auto owned = [&](const std::string& name, uid_t owner, gid_t group, nlink_t links) {
        struct stat st {};
        EXPECT_EQ(::stat((folder + "/" + name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_uid, owner) << name;
        EXPECT_EQ(st.st_gid, group) << name;
        EXPECT_EQ(st.st_nlink, links) << name;
    };
    const std::string out = folder + "/out.txt";
    const std::string firstTwo = "ann@one.example\nbob@two.example";
    const std::string lastTwo = "cid@three.example\ndan@four.example";
    const std::string all = firstTwo + "\n" + lastTwo;
    struct Row {
        const char* name;
        As as;
        uid_t folderOwner;
        mode_t folderBits;
        std::function<void()> prepare;  // the files of the folder
        rlim_t limit;
        int32_t perFile;
        int32_t result;
        Snapshot after;                 // the folder afterwards, byte for byte
        std::function<void()> identity;  // owners, groups and links afterwards
        std::string error = {};         // a failure's message; none: the file did not fit
        const char* mode = "wb";
    } rows[] = {
        {"sticky folder: a split over another user's file", As::kNobody, 0, 01777,
         [&] {
             make("out_1.txt", "FORMER-1 mine", kNobody, kNogroup, 0644);
             make("out_2.txt", "FORMER-2 theirs", 0, 0, 0666);
         },
         RLIM_INFINITY, 2, 4, {{"out_1.txt", firstTwo}, {"out_2.txt", lastTwo}},
         [&] { owned("out_2.txt", 0, 0, 1); }},
        {"folder that takes no new file: written in place", As::kNobody, kNobody, 0555,
         [&] { make("out.txt", "former", kNobody, kNogroup, 0644); }, RLIM_INFINITY, 0, 4, {{"out.txt", all}},
         [&] { owned("out.txt", kNobody, kNogroup, 1); }},
        {"folder that takes no new file: a failure puts the former bytes back", As::kNobody, kNobody, 0555,
         [&] { make("out.txt", "former bytes", kNobody, kNogroup, 0644); }, 24, 0, YRB_FAILED,
         {{"out.txt", "former bytes"}}, [&] { owned("out.txt", kNobody, kNogroup, 1); }},
        {"another group: the file keeps it", As::kThisUser, 0, 0755,
         [&] { make("out.txt", "former", 0, kNogroup, 0664); }, RLIM_INFINITY, 0, 4, {{"out.txt", all}},
         [&] { owned("out.txt", 0, kNogroup, 1); }},
        {"another group: a failure puts the former bytes back", As::kThisUser, 0, 0755,
         [&] { make("out.txt", "former bytes", 0, kNogroup, 0664); }, 24, 0, YRB_FAILED,
         {{"out.txt", "former bytes"}}, [&] { owned("out.txt", 0, kNogroup, 1); }},
        {"two hard links: both names hold the new list", As::kThisUser, 0, 0755,
         [&] {
             make("out.txt", "former", 0, 0, 0644);
             fs::create_hard_link(out, folder + "/alias.txt");
         },
         RLIM_INFINITY, 0, 4, {{"alias.txt", all}, {"out.txt", all}}, [&] { owned("out.txt", 0, 0, 2); }},
        {"two hard links: a failure puts the former bytes back", As::kThisUser, 0, 0755,
         [&] {
             make("out.txt", "former bytes", 0, 0, 0644);
             fs::create_hard_link(out, folder + "/alias.txt");
         },
         24, 0, YRB_FAILED, {{"alias.txt", "former bytes"}, {"out.txt", "former bytes"}},
         [&] { owned("out.txt", 0, 0, 2); }},
        // Someone else made the per-user folder first: no copy can be kept
        // anywhere, so the file is not touched.
        {"no copy possible: the file is left as it was", As::kNobody, kNobody, 0555,
         [&] {
             make("out.txt", "former bytes", kNobody, kNogroup, 0644);
             fs::create_directory(kept + "/ormid-65534");
             ::chmod((kept + "/ormid-65534").c_str(), 0700);
         },
         RLIM_INFINITY, 0, YRB_FAILED, {{"out.txt", "former bytes"}}, [&] { owned("out.txt", kNobody, kNogroup, 1); },
         "Could not open file for writing : " + out +
             " (no copy of its former content could be kept: beside it (Permission denied), in " + kept +
             "/ormid-65534 (not the user's own folder))"},
        // A write by another user than root clears these bits; a failure
        // puts them back with the bytes.
        {"set-user-ID and set-group-ID bits come back with the former bytes", As::kNobody, kNobody, 0555,
         [&] { make("out.txt", "former bytes", kNobody, kNogroup, 06755); }, 24, 0, YRB_FAILED,
         {{"out.txt", "former bytes"}},
         [&] {
             owned("out.txt", kNobody, kNogroup, 1);
             struct stat st {};
             EXPECT_EQ(::stat(out.c_str(), &st), 0);
             EXPECT_EQ(st.st_mode & 07777, 06755u);
         }},
        {"set-user-ID and set-group-ID bits stay after a split written in place", As::kNobody, kNobody, 0555,
         [&] {
             make("out_1.txt", "FORMER-1", kNobody, kNogroup, 04755);
             make("out_2.txt", "FORMER-2", kNobody, kNogroup, 02775);
         },
         RLIM_INFINITY, 2, 4, {{"out_1.txt", firstTwo}, {"out_2.txt", lastTwo}},
         [&] {
             EXPECT_EQ(BitsOf(folder + "/out_1.txt"), 04755u);
             EXPECT_EQ(BitsOf(folder + "/out_2.txt"), 02775u);
         }},
        {"set-user-ID bits come back with an append cut back", As::kNobody, kNobody, 0755,
         [&] { make("out.txt", "former bytes", kNobody, kNogroup, 04755); }, 24, 0, YRB_FAILED,
         {{"out.txt", "former bytes"}}, [&] { EXPECT_EQ(BitsOf(out), 04755u); }, "", "a+b"},
        // A drop folder: the user may write but not read it, so it cannot
        // be opened for its sync; the renames stand.
        {"a folder of mode 0300: a split over former files", As::kNobody, kNobody, 0300,
         [&] {
             make("out_1.txt", "FORMER-1", kNobody, kNogroup, 0644);
             make("out_2.txt", "FORMER-2", kNobody, kNogroup, 0644);
         },
         RLIM_INFINITY, 2, 4, {{"out_1.txt", firstTwo}, {"out_2.txt", lastTwo}},
         [&] { owned("out_2.txt", kNobody, kNogroup, 1); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove_all(folder);
        fs::remove_all(kept);
        fs::create_directory(folder);
        fs::create_directory(kept);
        ::chmod(dir.Path("").c_str(), 0755);
        ::chmod(kept.c_str(), 01777);
        r.prepare();
        ASSERT_EQ(::chown(folder.c_str(), r.folderOwner, r.folderOwner == 0 ? 0 : kNogroup), 0);
        ASSERT_EQ(::chmod(folder.c_str(), r.folderBits), 0);
        const Outcome got = WithFileLimit(
            r.limit,
            [&] {
                ::setenv("TMPDIR", kept.c_str(), 1);
                return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), r.perFile, r.mode);
            },
            r.as);
        EXPECT_EQ(got.result, r.result);
        if (r.result < 0) {
            EXPECT_EQ(got.errors,
                      (V{r.error.empty() ? "Could not write to file : " + out + " (File too large)" : r.error}));
        }
        ::chmod(folder.c_str(), 0755);
        Snapshot after;
        for (const auto& e : fs::directory_iterator(folder)) after.emplace_back(e.path().filename(), dir.Read("o/" + e.path().filename().string()));
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, r.after);
        r.identity();
        // The kept copies are gone, wherever they were made.
        for (const auto& e : fs::recursive_directory_iterator(kept))
            if (e.is_regular_file()) ADD_FAILURE() << "left behind: " << e.path();
    }
}

// A failed append is cut back on the file it wrote: another file renamed
// over the name meanwhile (an editor's save) keeps every byte.
TEST_F(WriteFailures, AppendedFileReplacedMeanwhileIsNotCut) {
    const std::string name = dir.Write("list.inv", "former\n");
    const std::string other = "another program's file, longer than the former one\n";
    const Outcome got = WithFileLimit(64, [&] {
        yrb::BufferedWriter w;
        if (!w.Open(name, "a+b")) return -5;
        dir.Write("saved.tmp", other);
        if (::rename(dir.Path("saved.tmp").c_str(), name.c_str()) != 0) return -6;
        w.Add(std::string(128, 'x'));
        return w.Close() ? 1 : 0;
    });
    EXPECT_EQ(got, (Outcome{0, {"Could not write to file : " + name + " (File too large)"}}));
    EXPECT_EQ(dir.Read("list.inv"), other);
    EXPECT_EQ(Names(dir), V{"list.inv"});
}

// A split whose second rename fails: the first file, already renamed, is
// put back, so every former file is as it was and no new one stays.
TEST_F(WriteFailures, ASplitWhoseSecondRenameFails) {
    const std::string p = dir.Write("in.mal", "a@x\nb@y\nc@z\nd@w\n");
    ASSERT_EQ(YRB13(1, p.c_str(), 0, "", "\n"), 4);
    const std::string out = dir.Path("out.txt");
    struct Row {
        const char* name;
        V former;
    } rows[] = {
        {"both files there before", {"out_1.txt", "out_2.txt"}},
        {"only the second", {"out_2.txt"}},
        {"none", {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EmptyFolder(dir, "in.mal");
        for (const auto& name : r.former) dir.Write(name, "FORMER " + name);
        const Snapshot before = Contents(dir);
        int renames = 0;
        filereplace::InstallFault([&](filereplace::Step step, const std::string&) {
            return step == filereplace::Step::kRename && ++renames == 2 ? EPERM : 0;
        });
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"), YRB_FAILED);
        filereplace::InstallFault({});
        EXPECT_EQ(rec.Texts('E'), (V{"Could not write to file : " + dir.Path("out_2.txt") + " (Operation not permitted)"}));
        EXPECT_EQ(Contents(dir), before);
    }
}

// The temporary file is the user's alone while it is written, and takes
// the bits of the file it replaces only when whole; its name says whose it
// is, should a crash leave it.
TEST_F(WriteFailures, TemporaryFileWhileItIsWritten) {
    const mode_t formerMask = ::umask(022);
    struct Row {
        const char* name;
        int former;     // the former file's bits, or -1: none
        mode_t after;   // of the file under the name
    } rows[] = {
        {"new file", -1, 0644},
        {"former file open to all", 0666, 0666},
        {"former file of the group", 0640, 0640},
    };
    const std::regex tempName(R"(\.out\.txt\.ormid-[0-9a-f]{8}\.tmp)");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EmptyFolder(dir);
        if (r.former >= 0) {
            dir.Write("out.txt", "former");
            ::chmod(dir.Path("out.txt").c_str(), static_cast<mode_t>(r.former));
        }
        yrb::BufferedWriter w;
        ASSERT_TRUE(w.Open(dir.Path("out.txt"), "wb"));
        w.Add("new");
        size_t temps = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path(""))) {
            const std::string name = e.path().filename();
            if (name == "out.txt") continue;  // the former file
            ++temps;
            EXPECT_TRUE(std::regex_match(name, tempName)) << name;
            struct stat st {};
            ASSERT_EQ(::stat(e.path().c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0600u);
        }
        EXPECT_EQ(temps, 1u);
        EXPECT_TRUE(w.Close());
        struct stat st {};
        ASSERT_EQ(::stat(dir.Path("out.txt").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, r.after);
        EXPECT_EQ(Names(dir), V{"out.txt"});
    }
    ::umask(formerMask);
}

// A text matched as it is, inside a regular expression.
std::string Quoted(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

// Each step of a call that the system may refuse, made to fail in a child
// process: what the call answers, and the folder afterwards, every file
// byte for byte with its bits, links still links, and nothing beside the
// files but the copies a failed put-back keeps.
TEST_F(WriteFailures, StepsTheSystemRefuses) {
    using filereplace::Step;
    namespace fs = std::filesystem;
    const std::string in = dir.Write("in.mal", "a@x\nb@y\nc@z\n");
    ASSERT_EQ(YRB13(1, in.c_str(), 0, "", "\n"), 3);
    const std::string out = dir.Path("out.txt");
    auto former = [&](const std::string& name, const std::string& bytes, mode_t bits) {
        dir.Write(name, bytes);
        ::chmod(dir.Path(name).c_str(), bits);
    };
    // A fault for one step: its n-th time (0: every time) fails with error.
    auto failing = [](Step which, int error, int nth = 0) {
        return [which, error, nth, seen = 0](Step step, const std::string&) mutable {
            return step == which && (++seen == nth || nth == 0) ? error : 0;
        };
    };
    using Fault = std::function<int(Step, const std::string&)>;
    auto both = [](Fault a, Fault b) {
        return [a, b](Step step, const std::string& path) mutable {
            const int error = a(step, path);
            return error != 0 ? error : b(step, path);
        };
    };
    struct File {
        std::string name;
        std::string bytes;
        mode_t bits;
    };
    const std::string twoFiles = "a@x\nb@y";
    struct Row {
        const char* name;
        std::function<void()> prepare;
        Fault fault;
        rlim_t limit;
        int32_t perFile;
        int32_t result;
        std::string error;  // a regular expression; "" when the call succeeds
        std::vector<File> after;
        std::vector<File> kept = {};  // name: a regular expression
    } rows[] = {
        {"links refused: the first of two files comes back with its own bits when the second rename fails",
         [&] {
             former("out_1.txt", "FORMER-1", 0640);
             former("out_2.txt", "FORMER-2", 0604);
         },
         both(failing(Step::kLink, EPERM), failing(Step::kRename, EPERM, 2)), kNoLimit, 2, YRB_FAILED,
         Quoted("Could not write to file : " + dir.Path("out_2.txt") + " (Operation not permitted)"),
         {{"out_1.txt", "FORMER-1", 0640}, {"out_2.txt", "FORMER-2", 0604}}},
        {"the first rename fails: no second name is left beside the files",
         [&] {
             former("out_1.txt", "FORMER-1", 0644);
             former("out_2.txt", "FORMER-2", 0644);
         },
         failing(Step::kRename, EPERM, 1), kNoLimit, 2, YRB_FAILED,
         Quoted("Could not write to file : " + dir.Path("out_1.txt") + " (Operation not permitted)"),
         {{"out_1.txt", "FORMER-1", 0644}, {"out_2.txt", "FORMER-2", 0644}}},
        {"three names of one file, the last rename fails: nothing left beside it",
         [&] {
             former("out_1.txt", "FORMER", 0644);
             fs::create_symlink("out_1.txt", dir.Path("out_2.txt"));
             fs::create_symlink("out_1.txt", dir.Path("out_3.txt"));
         },
         failing(Step::kRename, EPERM, 3), kNoLimit, 1, YRB_FAILED,
         Quoted("Could not write to file : " + dir.Path("out_3.txt") + " (Operation not permitted)"),
         {{"out_1.txt", "FORMER", 0644}, {"out_2.txt", "FORMER", 0644}, {"out_3.txt", "FORMER", 0644}}},
        {"permission bits refused as where the file system keeps none: written all the same",
         [&] { former("out.txt", "FORMER", 0640); }, failing(Step::kChmod, ENOSYS), kNoLimit, 0, 3, "",
         {{"out.txt", "a@x\nb@y\nc@z", 0600}}},
        {"permission bits refused for another cause: the former file stays",
         [&] { former("out.txt", "FORMER", 0640); }, failing(Step::kChmod, EIO), kNoLimit, 0, YRB_FAILED,
         Quoted("Could not write to file : " + out + " (Input/output error)"), {{"out.txt", "FORMER", 0640}}},
        {"the folder cannot be synced once every file is renamed: the files stand",
         [&] {
             former("out_1.txt", "FORMER-1", 0640);
             former("out_2.txt", "FORMER-2", 0604);
         },
         failing(Step::kFolderSync, EACCES), kNoLimit, 2, 3, "",
         {{"out_1.txt", twoFiles, 0640}, {"out_2.txt", "c@z", 0604}}},
        // Another program saves out_1.txt (absent when the call began) just
        // before the second rename fails: its file stays.
        {"a file another program put under a new name meanwhile stays",
         [] {},
         [&, seen = 0](Step step, const std::string&) mutable {
             if (step != Step::kRename || ++seen != 2) return 0;
             dir.Write("saved.tmp", "another program's file");
             return ::rename(dir.Path("saved.tmp").c_str(), dir.Path("out_1.txt").c_str()) == 0 ? EPERM : EIO;
         },
         kNoLimit, 2, YRB_FAILED,
         Quoted("Could not write to file : " + dir.Path("out_2.txt") + " (Operation not permitted)"),
         {{"out_1.txt", "another program's file", 0644}}},
        {"a renamed file whose former content cannot be put back: its copy stays and is named",
         [&] {
             former("out_1.txt", "FORMER-1", 0640);
             former("out_2.txt", "FORMER-2", 0644);
         },
         both(failing(Step::kRename, EPERM, 2), failing(Step::kPutBack, EIO)), kNoLimit, 2, YRB_FAILED,
         Quoted("Could not write to file : " + dir.Path("out_2.txt") + " (Operation not permitted); the former content of " +
                dir.Path("out_1.txt") + " is kept in " + dir.Path("")) +
             R"(\.out_1\.txt\.ormid-[0-9a-f]{8}\.kept)",
         {{"out_1.txt", twoFiles, 0640}, {"out_2.txt", "FORMER-2", 0644}},
         {{R"(\.out_1\.txt\.ormid-[0-9a-f]{8}\.kept)", "FORMER-1", 0640}}},
        {"a file written in place whose former content cannot be put back: its copy stays and is named",
         [&] {
             former("out.txt", "former", 0644);  // its copy fits under the limit
             fs::create_hard_link(out, dir.Path("alias.txt"));
         },
         failing(Step::kPutBack, EIO), 8, 0, YRB_FAILED,
         Quoted("Could not write to file : " + out + " (File too large); its former content is kept in " +
                dir.Path("")) +
             R"(\.out\.txt\.ormid-[0-9a-f]{8}\.kept)",
         {{"alias.txt", "a@x\nb@y\n", 0644}, {"out.txt", "a@x\nb@y\n", 0644}},
         {{R"(\.out\.txt\.ormid-[0-9a-f]{8}\.kept)", "former", 0600}}},
        // The third file cannot be opened: the files written before go back,
        // and a former content that cannot is named with the failure.
        {"numbered files written in place, a later open fails and a put-back is refused: the copy is named",
         [&] {
             for (const char* name : {"out_1.txt", "out_2.txt", "out_3.txt"}) {
                 former(name, std::string("FORMER ") + name, 0644);
                 fs::create_hard_link(dir.Path(name), dir.Path(std::string("alias_") + name));
             }
         },
         [&, copies = 0](Step step, const std::string& path) mutable {
             if (step == Step::kPutBack && path.find(".out_1.txt.") != std::string::npos) return EIO;
             return step == Step::kCreate && ++copies > 2 ? EIO : 0;
         },
         kNoLimit, 1, YRB_FAILED,
         Quoted("Could not open file for writing : " + dir.Path("out_3.txt") +
                " (no copy of its former content could be kept: beside it (Input/output error), in ") +
             ".*" + Quoted(" (Input/output error)); the former content of " + dir.Path("out_1.txt") + " is kept in " +
                           dir.Path("")) +
             R"(\.out_1\.txt\.ormid-[0-9a-f]{8}\.kept)",
         {{"alias_out_1.txt", "a@x", 0644},
          {"alias_out_2.txt", "FORMER out_2.txt", 0644},
          {"alias_out_3.txt", "FORMER out_3.txt", 0644},
          {"out_1.txt", "a@x", 0644},
          {"out_2.txt", "FORMER out_2.txt", 0644},
          {"out_3.txt", "FORMER out_3.txt", 0644}},
         {{R"(\.out_1\.txt\.ormid-[0-9a-f]{8}\.kept)", "FORMER out_1.txt", 0600}}},
        {"the file to write in place cannot be opened: the failed open is named",
         [&] {
             former("out.txt", "FORMER", 0644);
             fs::create_hard_link(out, dir.Path("alias.txt"));
         },
         failing(Step::kOpen, EIO), kNoLimit, 0, YRB_FAILED,
         Quoted("Could not open file for writing : " + out + " (Input/output error)"),
         {{"alias.txt", "FORMER", 0644}, {"out.txt", "FORMER", 0644}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EmptyFolder(dir, "in.mal");
        r.prepare();
        V links;
        for (const auto& e : fs::directory_iterator(dir.Path("")))
            if (e.is_symlink()) links.push_back(e.path().filename());
        const Outcome got = WithFileLimit(r.limit, [&] {
            filereplace::InstallFault(r.fault);
            return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), r.perFile, "wb");
        });
        EXPECT_EQ(got.result, r.result);
        if (r.error.empty()) {
            EXPECT_EQ(got.errors, V{});
        } else {
            ASSERT_EQ(got.errors.size(), 1u);
            EXPECT_TRUE(std::regex_match(got.errors[0], std::regex(r.error))) << got.errors[0];
        }
        std::vector<File> after, kept;
        for (const auto& name : Names(dir)) {
            if (name == "in.mal") continue;
            File f{name, dir.Read(name), BitsOf(dir.Path(name))};
            (name[0] == '.' ? kept : after).push_back(f);
        }
        ASSERT_EQ(after.size(), r.after.size());
        for (size_t k = 0; k < after.size(); ++k) {
            EXPECT_EQ(after[k].name, r.after[k].name);
            EXPECT_EQ(after[k].bytes, r.after[k].bytes) << after[k].name;
            EXPECT_EQ(after[k].bits, r.after[k].bits) << after[k].name;
        }
        ASSERT_EQ(kept.size(), r.kept.size());
        for (size_t k = 0; k < kept.size(); ++k) {
            EXPECT_TRUE(std::regex_match(kept[k].name, std::regex(r.kept[k].name))) << kept[k].name;
            EXPECT_EQ(kept[k].bytes, r.kept[k].bytes);
            EXPECT_EQ(kept[k].bits, r.kept[k].bits);
        }
        for (const auto& name : links) EXPECT_TRUE(fs::is_symlink(dir.Path(name))) << name;
    }
}

// A split into thousands of numbered files holds one descriptor at a time,
// whatever the mode and whether the files were there.
TEST_F(WriteFailures, ThousandsOfNumberedFiles) {
    constexpr int kFiles = 5000;
    constexpr rlim_t kDescriptors = 256;  // far fewer than the files
    std::string list;
    for (int k = 1; k <= kFiles; ++k) list += "u" + std::to_string(k) + "@x\n";
    const std::string in = dir.Write("in.mal", list);
    ASSERT_EQ(YRB13(1, in.c_str(), 0, "", "\n"), kFiles);
    namespace fs = std::filesystem;
    const std::string folder = dir.Path("n");
    struct Row {
        const char* name;
        const char* mode;
        bool formerFiles;
        const char* firstAfter;  // out_1.txt afterwards
        const char* lastAfter;   // the last file afterwards
    } rows[] = {
        {"new files", "wb", false, "u1@x", "u5000@x"},
        {"over former files", "wb", true, "u1@x", "u5000@x"},
        // An appended split starts with a record separator in its first file only.
        {"appended to new files", "a+b", false, "\nu1@x", "u5000@x"},
        {"appended to former files", "a+b", true, "F\nu1@x", "Fu5000@x"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove_all(folder);
        fs::create_directory(folder);
        if (r.formerFiles)
            for (int k = 1; k <= kFiles; ++k) dir.Write("n/out_" + std::to_string(k) + ".txt", "F");
        const Outcome got = WithFileLimit(kNoLimit, [&] {
            const rlimit fewer{kDescriptors, kDescriptors};
            if (::setrlimit(RLIMIT_NOFILE, &fewer) != 0) return -7;
            return YRB01(1, 0, 0, 0, 0, "", "\n", (folder + "/out.txt").c_str(), 1, r.mode);
        });
        EXPECT_EQ(got, (Outcome{kFiles, {}}));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), kFiles);
        EXPECT_EQ(dir.Read("n/out_1.txt"), r.firstAfter);
        EXPECT_EQ(dir.Read("n/out_" + std::to_string(kFiles) + ".txt"), r.lastAfter);
    }
}

// With SIGXFSZ at its default, a write past the file-size limit would end
// the process in the middle of a file: it fails like a full disk instead.
TEST_F(WriteFailures, FileSizeSignalAtItsDefault) {
    const std::string in = dir.Write("in.mal", "a@x\nb@y\nc@z\n");
    ASSERT_EQ(YRB13(1, in.c_str(), 0, "", "\n"), 3);
    const std::string out = dir.Path("out.txt");
    struct Row {
        const char* name;
        const char* mode;
        int32_t perFile;
        std::string failing;
        V former;
    } rows[] = {
        {"replaced", "wb", 0, out, {"out.txt"}},
        {"appended", "a+b", 0, out, {"out.txt"}},
        {"numbered", "wb", 2, dir.Path("out_1.txt"), {"out_1.txt", "out_2.txt"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EmptyFolder(dir, "in.mal");
        for (const auto& name : r.former) dir.Write(name, "former");
        const Snapshot before = Contents(dir);
        const Outcome got = WithFileLimit(
            5, [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), r.perFile, r.mode); }, As::kThisUser,
            FileSizeSignal::kDefault);
        EXPECT_EQ(got, (Outcome{YRB_FAILED, {"Could not write to file : " + r.failing + " (File too large)"}}));
        EXPECT_EQ(Contents(dir), before);
    }
}

// The user's attributes of a replaced file (tags a file manager shows) go
// to the new one, as its bits do.
TEST_F(WriteFailures, UserAttributesStayWithTheFile) {
    constexpr char kTag[] = "user.xdg.tags";
    const std::string in = dir.Write("in.mal", "a@x\nb@y\n");
    ASSERT_EQ(YRB13(1, in.c_str(), 0, "", "\n"), 2);
    const std::string probe = dir.Write("probe", "");
    if (::setxattr(probe.c_str(), kTag, "x", 1, 0) != 0) GTEST_SKIP() << "no user attributes here";
    struct Row {
        const char* name;
        const char* file;
        int32_t perFile;
    } rows[] = {{"one file", "out.txt", 0}, {"the first of numbered files", "out_1.txt", 1}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string former = dir.Write(r.file, "former");
        ASSERT_EQ(::setxattr(former.c_str(), kTag, "red", 3, 0), 0);
        ASSERT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", dir.Path("out.txt").c_str(), r.perFile, "wb"), 2);
        char value[16] = {};
        EXPECT_EQ(::getxattr(former.c_str(), kTag, value, sizeof value), 3);
        EXPECT_STREQ(value, "red");
    }
}

// One folder, however its files' names spell it, is synced once a call.
TEST_F(WriteFailures, EachFolderSyncedOnce) {
    using filereplace::Step;
    const std::string in = dir.Write("in.mal", "a@x\nb@y\nc@z\n");
    ASSERT_EQ(YRB13(1, in.c_str(), 0, "", "\n"), 3);
    std::filesystem::create_directory(dir.Path("sub"));
    std::filesystem::create_symlink("./sub/../out_2.real", dir.Path("out_2.txt"));
    std::filesystem::create_symlink(dir.Path("") + "/./out_3.real", dir.Path("out_3.txt"));
    V synced;
    filereplace::InstallFault([&](Step step, const std::string& path) {
        if (step == Step::kFolderSync) synced.push_back(path);
        return 0;
    });
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", dir.Path("out.txt").c_str(), 1, "wb"), 3);
    filereplace::InstallFault({});
    EXPECT_EQ(synced.size(), 1u);
    EXPECT_EQ(dir.Read("out_2.real"), "b@y");
    EXPECT_EQ(dir.Read("out_3.real"), "c@z");
}

}  // namespace
