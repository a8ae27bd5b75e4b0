#include "fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fx {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "yrbtest-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string TempDir::Path(const std::string& name) const { return (dir_ / name).string(); }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const std::string p = Path(name);
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string TempDir::Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::optional<std::string> TempDir::ReadIfExists(const std::string& name) const {
    if (!std::filesystem::exists(Path(name))) return std::nullopt;
    return Read(name);
}

namespace {
Recorder* g_current = nullptr;

void Add(char kind, const char* text, int32_t value) {
    if (g_current) g_current->events.push_back({kind, text ? text : "", value});
}

void Hook(char kind) {
    if (g_current && g_current->onEvent) g_current->onEvent(kind);
}
}  // namespace

Recorder::Recorder() {
    g_current = this;
    table_.error = [](const char* s) -> int32_t { Add('E', s, 0); return 0; };
    table_.progress = [](int32_t v) -> int32_t {
        Add('P', nullptr, v);
        Hook('P');
        return 0;
    };
    table_.check_interrupt = [](int32_t v) -> int32_t {
        Add('C', nullptr, v);
        if (!g_current) return 0;
        ++g_current->checks;
        const int32_t answer = g_current->onCheck ? g_current->onCheck(g_current->checks) : 0;
        Hook('C');
        return answer;
    };
    table_.information = [](const char* s) -> int32_t {
        Add('I', s, 0);
        if (g_current && g_current->onInfo) g_current->onInfo();
        Hook('I');
        return 0;
    };
    table_.reserved = nullptr;
    table_.init_progress = [](int32_t v) -> int32_t {
        Add('S', nullptr, v);
        Hook('S');
        return 0;
    };
    table_.animate = [](int32_t a, int32_t b) -> int32_t {
        Add('A', nullptr, a + b);
        Hook('A');
        return 0;
    };
}

Recorder::~Recorder() {
    if (g_current == this) g_current = nullptr;
    const YRB_CallbackTable empty{};
    YRB07(&empty);
}

std::vector<std::string> Recorder::Texts(char kind) const {
    std::vector<std::string> out;
    for (const auto& e : events)
        if (e.kind == kind) out.push_back(e.text);
    return out;
}

std::vector<int32_t> Recorder::Values(char kind) const {
    std::vector<int32_t> out;
    for (const auto& e : events)
        if (e.kind == kind) out.push_back(e.value);
    return out;
}

size_t Recorder::Count(char kind) const {
    size_t n = 0;
    for (const auto& e : events) n += e.kind == kind;
    return n;
}

void ResetEngine() {
    const YRB_CallbackTable empty{};
    YRB07(&empty);
    YRB09();
    YRB20(3);
    YRB07(&empty);
}

std::vector<std::string> Entries(int32_t slot, int32_t part) {
    std::vector<std::string> out;
    char buf[1025];
    for (int32_t e = 0;; ++e) {
        if (YRB17(slot, e, -1) < 0) break;
        const int32_t n = YRB18(slot, e, part, buf, 1024);
        out.push_back(n < 0 ? std::string("<none>") : std::string(buf, static_cast<size_t>(n)));
    }
    return out;
}

}  // namespace fx
