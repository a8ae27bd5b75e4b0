// The buffered writer, and every export that writes a file, on files that
// cannot take all their bytes.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "buffered_writer.h"
#include "fixture.h"

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
        uintmax_t size;  // of the file afterwards
    } rows[] = {
        {"fits", 64, {"abc", "def"}, true, 6},
        {"fits exactly", 6, {"abc", "def"}, true, 6},
        {"one byte too many", 5, {"abc", "def"}, false, 5},
        {"failed while adding, the rest is dropped", 1u << 20, {big, "tail"}, false, 1u << 20},
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
        const Outcome want = r.closes ? Outcome{1, {}} : Outcome{0, {"Could not write to file : " + path}};
        EXPECT_EQ(got, want);
        EXPECT_EQ(std::filesystem::file_size(path), r.size);
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
// once on one that cannot: then -1 and the message naming the file.
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
    } rows[] = {
        {"list", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"); }, 3, out},
        {"list, w+b", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "w+b"); }, 3, out},
        {"list, appended", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "a+b"); }, 3, out},
        {"whole records", "a@x\nb@y\nc@z\n", 8,
         [&] { return YRB01(1, 0, 0, 0, 1, "", "\n", out.c_str(), 0, "wb"); }, 3, out},
        {"list larger than the buffer", many, 1u << 19,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"); }, 60000, out},
        {"numbered, the first file fails", "a@x\nb@y\nc@z\n", 5,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"); }, 3, dir.Path("list_1.out")},
        {"numbered, the last file fails", "a@x\nb@y\ncccccccccccccccc@z\n", 10,
         [&] { return YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"); }, 3, dir.Path("list_2.out")},
        {"duplicates report", "a@x\nb@y\na@x\nb@y\n", 40,
         [&] { return YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, dup.c_str()); }, 2, dup},
        {"duplicates report, None", "a@x\nb@y\n", 16,
         [&] { return YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, dup.c_str()); }, 0, dup},
        {"invalid entries report", "a@x.zz\nb@y.zz\n", 40,
         [&] { return YRB12(1, 0x20, 0, 0, inv.c_str()); }, 2, inv},
        {"invalid entries report, None", "\n\n", 16,
         [&] { return YRB12(1, 0x20, 0, 0, inv.c_str()); }, 0, inv},
        {"statistics", "a@x.com\nb@y.org\nc@x.com\n", 40,
         [&] { return YRB23(1, sta.c_str(), 0, 0); }, 3, sta},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string p = dir.Write("in.mal", r.list);
        ASSERT_GE(YRB13(1, p.c_str(), 0, "", "\n"), 0);
        // Appending modes start from no file each time.
        auto clean = [&] {
            for (const auto& e : std::filesystem::directory_iterator(dir.Path("")))
                if (e.path().filename() != "in.mal") std::filesystem::remove(e.path());
        };
        clean();
        EXPECT_EQ(WithFileLimit(kNoLimit, r.call), (Outcome{r.whole, {}}));
        clean();
        EXPECT_EQ(WithFileLimit(r.limit, r.call),
                  (Outcome{YRB_FAILED, {"Could not write to file : " + r.failingFile}}));
    }
}

}  // namespace
