// The buffered writer, and every export that writes a file, on files that
// cannot take all their bytes; where the bytes of a written file end up
// (links, permission bits, devices and pipes, numbered files).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// Runs body in a child process whose files cannot grow past limit bytes; a
// write beyond fails (EFBIG) instead of raising SIGXFSZ, as on a full disk.
// Returns what body returned and the messages of the error slot.
Outcome WithFileLimit(rlim_t limit, const std::function<int32_t()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return {-99, {"pipe failed"}};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lim{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) ::_exit(2);
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
        auto clean = [&] {
            for (const auto& e : std::filesystem::directory_iterator(dir.Path("")))
                if (e.path().filename() != "in.mal") std::filesystem::remove(e.path());
        };
        // One thread, and workers that format blocks for the writing thread.
        for (unsigned workers : {1u, 4u}) {
            SCOPED_TRACE(workers);
            auto call = [&] {
                yrb::SetParallelForTesting(workers, 1);  // in the child only
                return r.call();
            };
            clean();
            EXPECT_EQ(WithFileLimit(kNoLimit, call), (Outcome{r.whole, {}}));
            for (bool withFormer : {false, true}) {
                SCOPED_TRACE(withFormer ? "former files" : "no file before");
                clean();
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
        for (const auto& e : fs::directory_iterator(dir.Path(""))) fs::remove(e.path());
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
        for (const auto& e : fs::directory_iterator(dir.Path(""))) fs::remove(e.path());
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
        EXPECT_EQ(Names(dir), (V{"folder", "in.mal"}));
    }
}

}  // namespace
