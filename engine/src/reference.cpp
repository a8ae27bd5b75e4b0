// The four reference lists (YRB08 black list, YRB06 valid
// extensions, YRB04 excluded extensions, YRB05 excluded keywords), the chain
// of validity checks, the list-wide detection YRB12 with its ".inv" report and
// the single-entry query YRB29.
//
// A plain check would scan each reference list for every entry.  Here each
// loaded reference list gets a lookup structure built once (hash sets of its
// values, an Aho-Corasick automaton of its keywords), which answers exactly
// what the linear scans answer: equality of whole values, and for keywords
// the first keyword in list order that occurs in the address.  The checks
// therefore poll for a stop once per lookup instead of once per value.
//
// Deliberate behaviour (see reference_test.cpp):
// - a reload is built aside and replaces the list only when it succeeds, so
//   a failed or stopped reload keeps the previous list (an empty file still
//   empties it, silently, as written);
// - the loaders refuse to reload while a check runs (g_referenceBusy), and
//   the checks mark the list they run on as in use;
// - reasons have no length limit;
// - a list of 0 entries is validated like any other (header and "None").
// - an address with more than one "@" is invalid ("invalid character '@'"
//   of the domain), though its parts look well formed;
// - the ".inv" lines show control bytes as caret tokens ("^I").
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "buffered_writer.h"
#include "guard.h"
#include "lists.h"
#include "parallel.h"
#include "text.h"

namespace yrb {

namespace {

enum RefKind { kBlackList = 0, kValidExtensions = 1, kExcludedExtensions = 2, kKeywords = 3 };

constexpr uint32_t kNone = 0xFFFFFFFFu;

// The value of a reference record: its first level-1 item, or null.
const ListItem* ValueOf(const ListObject& list, uint32_t entry) { return list.Part(entry, YRB_PART_ADDRESS); }

// Open-addressing set of the values of a reference list.  The texts stay in
// the list's content; the set is rebuilt whenever the list is.
class ValueSet {
public:
    void Build(const ListObject& list) {
        const uint32_t n = list.Count();
        uint32_t cap = 16;
        while (cap < n * 2u + 2u) cap <<= 1;
        slots_.assign(cap, Slot{});
        mask_ = cap - 1;
        for (uint32_t i = 0; i < n; ++i) {
            const ListItem* v = ValueOf(list, list.index1[i]);
            if (v == nullptr) continue;
            const char* text = list.Text(*v);
            if (Contains(text, v->length, v->crc)) continue;
            uint32_t h = v->crc & mask_;
            while (slots_[h].text) h = (h + 1) & mask_;
            slots_[h] = Slot{text, v->length, v->crc};
        }
    }
    bool Contains(const char* text, uint32_t length, uint32_t crc) const {
        if (slots_.empty()) return false;
        for (uint32_t h = crc & mask_;; h = (h + 1) & mask_) {
            const Slot& s = slots_[h];
            if (s.text == nullptr) return false;
            if (s.crc == crc && EqualBytes(s.text, text, s.length, length)) return true;
        }
    }

private:
    struct Slot {
        const char* text = nullptr;
        uint32_t length = 0;
        uint32_t crc = 0;
    };
    std::vector<Slot> slots_;
    uint32_t mask_ = 0;
};

// Aho-Corasick automaton over the keyword values.  Each node knows the
// smallest list position of a keyword that ends there (itself or through its
// suffixes), so one pass over an address yields the first keyword in list
// order that occurs anywhere in it.
class KeywordMatcher {
public:
    void Build(const ListObject& list) {
        nodes_.assign(1, Node{});
        edges_.clear();
        keywords_.clear();
        // Trie, with edges kept in a map while building.
        std::unordered_map<uint64_t, uint32_t> child;
        const uint32_t n = list.Count();
        for (uint32_t i = 0; i < n; ++i) {
            const ListItem* v = ValueOf(list, list.index1[i]);
            if (v == nullptr) continue;
            const uint32_t rank = static_cast<uint32_t>(keywords_.size());
            keywords_.emplace_back(list.Text(*v), v->length);
            uint32_t node = 0;
            const unsigned char* p = reinterpret_cast<const unsigned char*>(list.Text(*v));
            for (uint32_t k = 0; k < v->length; ++k) {
                const uint64_t key = (static_cast<uint64_t>(node) << 8) | p[k];
                auto it = child.find(key);
                if (it == child.end()) {
                    const uint32_t next = static_cast<uint32_t>(nodes_.size());
                    nodes_.push_back(Node{});
                    it = child.emplace(key, next).first;
                }
                node = it->second;
            }
            nodes_[node].best = std::min(nodes_[node].best, rank);
        }
        // Edges per node, sorted by byte.
        std::vector<std::pair<uint64_t, uint32_t>> all(child.begin(), child.end());
        std::sort(all.begin(), all.end());
        edges_.reserve(all.size());
        for (const auto& e : all) {
            Node& parent = nodes_[static_cast<uint32_t>(e.first >> 8)];
            if (parent.edgeCount == 0) parent.edgeBegin = static_cast<uint32_t>(edges_.size());
            ++parent.edgeCount;
            edges_.push_back(Edge{static_cast<unsigned char>(e.first & 0xFF), e.second});
        }
        // Failure links in breadth-first order.
        for (uint32_t c = 0; c < 256; ++c) {
            const uint32_t to = Child(0, static_cast<unsigned char>(c));
            root_[c] = to == kNone ? 0 : to;
        }
        std::deque<uint32_t> queue;
        for (uint32_t e = 0; e < nodes_[0].edgeCount; ++e) {
            const uint32_t v = edges_[nodes_[0].edgeBegin + e].to;
            nodes_[v].fail = 0;
            queue.push_back(v);
        }
        std::vector<uint32_t> order;  // breadth-first
        order.reserve(nodes_.size());
        order.push_back(0);
        while (!queue.empty()) {
            const uint32_t u = queue.front();
            queue.pop_front();
            order.push_back(u);
            for (uint32_t e = 0; e < nodes_[u].edgeCount; ++e) {
                const Edge edge = edges_[nodes_[u].edgeBegin + e];
                const uint32_t f = Step(nodes_[u].fail, edge.byte);
                nodes_[edge.to].fail = f;
                nodes_[edge.to].best = std::min(nodes_[edge.to].best, nodes_[f].best);
                queue.push_back(edge.to);
            }
        }
        // Small automata (the program's keyword files) get a full transition
        // table: one load per byte of the address.
        dense_.clear();
        if (nodes_.size() <= kDenseNodes) {
            dense_.resize(nodes_.size() * 256u);
            for (const uint32_t u : order) {
                uint32_t* row = dense_.data() + static_cast<size_t>(u) * 256u;
                if (u == 0) {
                    std::copy(root_, root_ + 256, row);
                } else {
                    const uint32_t* fallback = dense_.data() + static_cast<size_t>(nodes_[u].fail) * 256u;
                    std::copy(fallback, fallback + 256, row);
                }
                for (uint32_t e = 0; e < nodes_[u].edgeCount; ++e) {
                    const Edge edge = edges_[nodes_[u].edgeBegin + e];
                    row[edge.byte] = edge.to;
                }
            }
        }
    }

    // Position (in list order) of the first keyword occurring in the text,
    // or kNone.
    uint32_t FirstIn(const char* text, uint32_t length) const {
        if (keywords_.empty()) return kNone;
        uint32_t best = kNone;
        uint32_t state = 0;
        const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
        for (uint32_t k = 0; k < length; ++k) {
            state = dense_.empty() ? Step(state, p[k]) : dense_[static_cast<size_t>(state) * 256u + p[k]];
            if (nodes_[state].best < best) {
                best = nodes_[state].best;
                if (best == 0) break;
            }
        }
        return best;
    }

    const std::pair<const char*, uint32_t>& Keyword(uint32_t rank) const { return keywords_[rank]; }

private:
    static constexpr size_t kDenseNodes = 16384;  // 16 MiB of transitions at most

    struct Node {
        uint32_t fail = 0;
        uint32_t best = kNone;
        uint32_t edgeBegin = 0;
        uint32_t edgeCount = 0;
    };
    struct Edge {
        unsigned char byte;
        uint32_t to;
    };

    uint32_t Child(uint32_t node, unsigned char c) const {
        const Node& n = nodes_[node];
        const Edge* first = edges_.data() + n.edgeBegin;
        const Edge* last = first + n.edgeCount;
        if (n.edgeCount <= 8) {
            for (const Edge* e = first; e != last; ++e)
                if (e->byte == c) return e->to;
            return kNone;
        }
        const Edge* e = std::lower_bound(first, last, c, [](const Edge& x, unsigned char b) { return x.byte < b; });
        return (e != last && e->byte == c) ? e->to : kNone;
    }

    uint32_t Step(uint32_t state, unsigned char c) const {
        while (state != 0) {
            const uint32_t to = Child(state, c);
            if (to != kNone) return to;
            state = nodes_[state].fail;
        }
        return root_[c];
    }

    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    uint32_t root_[256] = {};
    std::vector<uint32_t> dense_;
    std::vector<std::pair<const char*, uint32_t>> keywords_;
};

// Lookup structures of one reference list, tied to the list's content buffer:
// a list freed (YRB09) or reloaded has another buffer, and the structures are
// built again before the next check.
struct RefCache {
    const char* content = nullptr;
    uint32_t count = 0;
    bool built = false;
    ValueSet values;
    KeywordMatcher keywords;

    void Build(const ListObject& list, int kind) {
        if (kind == kKeywords) {
            keywords.Build(list);
        } else {
            values.Build(list);
        }
        content = list.content;
        count = list.Count();
        built = true;
    }
};

RefCache g_cache[4];

const RefCache& Cache(int kind) {
    const ListObject& list = ReferenceList(kind);
    RefCache& c = g_cache[kind];
    if (!c.built || c.content != list.content || c.count != list.Count()) {
        RefCache fresh;
        fresh.Build(list, kind);
        c = std::move(fresh);
    }
    return c;
}

// ---- The checks ----------------------------------------------------------

// prefix + text + "'", built by appending (g++ 12 warns falsely on
// "..." + std::string).
std::string Quoted(const char* prefix, const char* text, uint32_t length) {
    std::string s(prefix);
    s.append(text, length);
    s.push_back('\'');
    return s;
}

// Bytes that CheckAtoms refuses: 0 to 32, 127 and ( ) < > [ ] : ; @ \ , . "
struct BadAtomBytes {
    bool bad[256] = {};
    constexpr BadAtomBytes() {
        for (int c = 0; c <= 32; ++c) bad[c] = true;
        bad[127] = true;
        for (const char* p = "()<>[]:;@\\,.\""; *p; ++p) bad[static_cast<unsigned char>(*p)] = true;
    }
    bool operator[](unsigned char c) const { return bad[c]; }
};
constexpr BadAtomBytes kBadAtomByte;

// The checks poll through stop(): true ends them with -2.
//
// 1 valid, 0 invalid (reason set), -2 stop.
template <class Stop>
int CheckAtoms(const char* text, uint32_t length, std::string& reason, Stop& stop) {
    if (length == 0) return YRB_FAILED;
    if (text[0] == '.') {
        reason = "leading '.'";
        return 0;
    }
    if (text[length - 1] == '.') {
        reason = "trailing '.'";
        return 0;
    }
    const char* cursor = text;
    const char* end = text + length;
    const char* atom = nullptr;
    uint32_t atomLen = 0;
    while (NextToken(cursor, end, ".", 1, atom, atomLen)) {
        if (stop()) return YRB_STOPPED;
        if (atomLen == 0) {
            reason = "missing atom";
            return 0;
        }
        for (uint32_t k = 0; k < atomLen; ++k) {
            const unsigned char c = static_cast<unsigned char>(atom[k]);
            if (kBadAtomByte[c]) {
                reason = Format("invalid character '%c'", c);
                return 0;
            }
        }
    }
    return 1;
}

// The last piece of the domain split at "." by NextToken; false when there is
// no piece or the last piece is empty.
bool Extension(const char* domain, uint32_t length, const char*& ext, uint32_t& extLen) {
    const char* cursor = domain;
    const char* end = domain + length;
    const char* tok = nullptr;
    uint32_t tokLen = 0;
    bool any = false;
    while (NextToken(cursor, end, ".", 1, tok, tokLen)) {
        ext = tok;
        extLen = tokLen;
        any = true;
    }
    return any && extLen != 0;
}

template <class Stop>
int CheckKnownExtension(const char* domain, uint32_t length, std::string& reason, Stop& stop) {
    const char* ext = nullptr;
    uint32_t extLen = 0;
    if (!Extension(domain, length, ext, extLen)) {
        reason = "no extension";
        return 0;
    }
    if (stop()) return YRB_STOPPED;
    if (Cache(kValidExtensions).values.Contains(ext, extLen, Crc32(ext, extLen))) return 1;
    reason = Quoted("unknown extension '", ext, extLen);
    return 0;
}

template <class Stop>
int CheckExcludedExtension(const char* domain, uint32_t length, std::string& reason, Stop& stop) {
    const char* ext = nullptr;
    uint32_t extLen = 0;
    if (!Extension(domain, length, ext, extLen)) {
        reason = "no extension";
        return 1;
    }
    if (stop()) return YRB_STOPPED;
    if (Cache(kExcludedExtensions).values.Contains(ext, extLen, Crc32(ext, extLen))) {
        reason = Quoted("'", ext, extLen);
        return 1;
    }
    return 0;
}

template <class Stop>
int CheckExcludedKeyword(const char* address, uint32_t length, std::string& reason, Stop& stop) {
    if (stop()) return YRB_STOPPED;
    const KeywordMatcher& m = Cache(kKeywords).keywords;
    const uint32_t rank = m.FirstIn(address, length);
    if (rank == kNone) return 0;
    // The matched bytes of the address: FindText's leftmost occurrence of the
    // keyword, which folds only A-Z; both texts are lower-cased already.
    const auto& kw = m.Keyword(rank);
    const char* hit = FindText(address, address + length, kw.first, kw.first + kw.second, false);
    reason = Quoted("'", hit ? hit : kw.first, kw.second);
    return 1;
}

template <class Stop>
int CheckBlackListed(const char* address, uint32_t length, uint32_t crc, Stop& stop) {
    if (stop()) return YRB_STOPPED;
    return Cache(kBlackList).values.Contains(address, length, crc) ? 1 : 0;
}

// The reasons in chain order, as YRB29 gives them and as ".inv" writes them.
struct ReasonText {
    const char* tip;
    const char* report;
};
const ReasonText kReasons[] = {
    {"empty Email Address", "\tEmpty Email Address\r\n"},
    {"incomplete Email Address", "\tIncomplete Email Address\r\n"},
    {"invalid user specification : empty user", "\tInvalid user specification : empty user\r\n"},
    {"invalid domain specification : empty domain", "\tInvalid domain specification : empty domain\r\n"},
    {"invalid user syntax : %s", "\tInvalid user syntax : %s\r\n"},
    {"invalid domain syntax : %s", "\tInvalid domain syntax : %s\r\n"},
    {"invalid domain extension : %s", "\tInvalid domain extension : %s\r\n"},
    {"excluded domain extension : %s", "\tExcluded domain extension : %s\r\n"},
    {"excluded keyword : %s", "\tExcluded keyword : %s\r\n"},
    {"black listed", "\tBlack listed\r\n"},
};

struct Verdict {
    int result = 1;       // 1 valid, 0 invalid, -1, -2
    int reason = -1;      // index into kReasons when invalid
    std::string detail;   // the check's own reason, for "%s"

    // The texts are formatted as C strings: in the tip a detail holding a NUL
    // byte ends there, as it would in a NUL-terminated message buffer; the
    // report shows control bytes as caret tokens, so its TAB-separated
    // fields and CR LF lines stay whole.
    std::string Text(bool report) const {
        const ReasonText& r = kReasons[reason];
        if (!report) return Format(r.tip, detail.c_str());
        std::string shown;
        AppendShown(shown, detail.data(), detail.size());
        return Format(r.report, shown.c_str());
    }
};

// Runs the chain on an entry that has an address.
template <class Stop>
Verdict RunChain(const ListObject& list, uint32_t entry, Stop stop) {
    Verdict v;
    const ListItem* address = list.Part(entry, YRB_PART_ADDRESS);
    auto fail = [&](int reason) {
        v.result = 0;
        v.reason = reason;
        return v;
    };
    auto check = [&](int r, int reason, int failsOn) -> bool {
        if (r < 0) {
            v.result = r;
            return true;
        }
        if (r == failsOn) {
            v.result = 0;
            v.reason = reason;
            return true;
        }
        return false;
    };
    const uint32_t parts = list.ChildCount(1, *address);
    if (parts == 0) return fail(0);
    if (parts == 1) return fail(1);
    const ListItem* user = list.Part(entry, YRB_PART_USER);
    const ListItem* domain = list.Part(entry, YRB_PART_DOMAIN);
    if (user->length == 0) return fail(2);
    if (domain->length == 0) return fail(3);
    const char* u = list.Text(*user);
    const char* d = list.Text(*domain);
    const char* a = list.Text(*address);
    // The parser keeps only the parts between the "@"s, so an address with
    // more than one "@" looks well formed part by part; its syntax is checked
    // on everything after the first "@", which holds the next one.
    const char* afterAt = static_cast<const char*>(std::memchr(a, '@', address->length));
    const char* atomsOf = d;
    uint32_t atomsLength = domain->length;
    if (afterAt != nullptr) {
        ++afterAt;
        const uint32_t rest = static_cast<uint32_t>(a + address->length - afterAt);
        if (std::memchr(afterAt, '@', rest) != nullptr) {
            atomsOf = afterAt;
            atomsLength = rest;
        }
    }
    if (check(CheckAtoms(u, user->length, v.detail, stop), 4, 0)) return v;
    if (check(CheckAtoms(atomsOf, atomsLength, v.detail, stop), 5, 0)) return v;
    if (check(CheckKnownExtension(d, domain->length, v.detail, stop), 6, 0)) return v;
    if (check(CheckExcludedExtension(d, domain->length, v.detail, stop), 7, 1)) return v;
    if (check(CheckExcludedKeyword(a, address->length, v.detail, stop), 8, 1)) return v;
    if (check(CheckBlackListed(a, address->length, address->crc, stop), 9, 1)) return v;
    return v;
}

// Counts a check against the reference lists, so they are not reloaded or
// freed from inside a callback meanwhile.
struct ReferenceScope {
    ReferenceScope() { ++g_referenceBusy; }
    ~ReferenceScope() { --g_referenceBusy; }
    ReferenceScope(const ReferenceScope&) = delete;
    ReferenceScope& operator=(const ReferenceScope&) = delete;
};

int32_t LoadReference(int kind, const char* path, int32_t column, const char* fieldSep,
                      const char* recordSep) {
    const Table* t = &g_registered;
    if (recordSep == nullptr || *recordSep == '\0') {
        SendError(t, "No record separator has been specified");
        return YRB_FAILED;
    }
    if (g_referenceBusy != 0) {
        // A check is running on the reference lists (we are inside one of its
        // callbacks): the list must not change under it.
        SendError(t, "The reference lists are in use by a running operation and cannot be reloaded");
        return YRB_FAILED;
    }
    return Guarded([&]() -> int32_t {
        ListObject& target = ReferenceList(kind);
        if (path == nullptr || *path == '\0') {
            SendError(t, Format("Cannot retrieve file infos : '%s'", path ? path : ""));
            return YRB_FAILED;
        }
        // An empty file empties the list, silently.
        struct stat st {};
        if (::stat(path, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) {
            FreeListObject(&target);
            return YRB_FAILED;
        }
        if (fieldSep == nullptr) fieldSep = "";
        if (std::strlen(recordSep) > kMaxSeparator || std::strlen(fieldSep) > kMaxSeparator) {
            SendError(t, Format("A separator is longer than %u bytes and cannot be used : '%s'", kMaxSeparator, path));
            return YRB_FAILED;
        }
        // Loaded aside: a failed or stopped reload keeps the previous list.
        ScopedList built;
        ListObject& list = built.Get();
        if (ReadWholeFile(path, list.content, list.size, t, true) < 0) return YRB_FAILED;
        const uint32_t levels = kind == kBlackList ? 3 : 2;
        list.dims = new (std::nothrow) ListDimension[levels];
        if (list.dims == nullptr) {
            SendError(t, Format("Cannot allocate memory for file : '%s'", path));
            return YRB_FAILED;
        }
        list.levels = levels;
        SetSeparator(list.dims[0], recordSep);
        SetSeparator(list.dims[1], fieldSep);
        list.dims[1].column = static_cast<uint32_t>(column);
        if (levels == 3) SetSeparator(list.dims[2], "@");
        if (BuildList(list, &g_silent) < 0) return YRB_FAILED;
        RefCache fresh;
        fresh.Build(list, kind);
        FreeListObject(&target);
        target = built.Release();
        g_cache[kind] = std::move(fresh);
        return 1;
    });
}

}  // namespace

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB08(const char* path, int32_t column, const char* field_sep,
                                 const char* record_sep) {
    return LoadReference(kBlackList, path, column, field_sep, record_sep);
}

extern "C" YRB_API int32_t YRB06(const char* path, int32_t column, const char* field_sep,
                                 const char* record_sep) {
    return LoadReference(kValidExtensions, path, column, field_sep, record_sep);
}

extern "C" YRB_API int32_t YRB04(const char* path, int32_t column, const char* field_sep,
                                 const char* record_sep) {
    return LoadReference(kExcludedExtensions, path, column, field_sep, record_sep);
}

extern "C" YRB_API int32_t YRB05(const char* path, int32_t column, const char* field_sep,
                                 const char* record_sep) {
    return LoadReference(kKeywords, path, column, field_sep, record_sep);
}

extern "C" YRB_API int32_t YRB12(int32_t slot, int32_t flag, int32_t must_have, int32_t must_not,
                                 const char* report_path) {
    const Table* t = &g_registered;
    ListObject* list = nullptr;
    if (ValidateSlotForChange(slot, list, t) != 1) return YRB_FAILED;
    return Guarded([&]() -> int32_t {
        BusyScope busy(list);
        ReferenceScope refs;
        for (int k = 0; k < 4; ++k) Cache(k);  // built before the first poll
        const uint32_t n = list->Count();
        InitProgress(t, n);
        Info(t, "Looking for invalid entries");
        ProgressStep step(t, n);
        step(0);
        // A report that cannot be opened does not stop the detection.
        BufferedWriter report;
        if (report_path != nullptr && *report_path != '\0') report.OpenChecked(report_path, "a+b");
        report.Add("Invalid Addresses\tReason\r\n");
        const uint8_t bits = static_cast<uint8_t>(flag & 0xFF);
        const bool reporting = report.IsOpen();
        // The entry at position i: false when it was stopped, else the
        // invalid one is flagged and its report line appended.
        auto check = [&](uint32_t i, auto stop, std::string& lines, uint32_t& counted) -> bool {
            const uint32_t e = list->index1[i];
            const ListItem* address = list->Part(e, YRB_PART_ADDRESS);
            if (address == nullptr) return true;
            uint8_t& f = list->flags[e];
            if (!PassesFilter(LoadFlags(f), must_have, must_not)) return true;
            const Verdict v = RunChain(*list, e, stop);
            if (v.result < 0) return false;
            if (v.result == 1) return true;
            StoreFlags(f, static_cast<uint8_t>(LoadFlags(f) | bits));
            if (reporting) {
                AppendShown(lines, list->Text(*address), address->length);
                lines += v.Text(true);
            }
            ++counted;
            return true;
        };
        uint32_t counted = 0;
        const unsigned workers = WorkersFor(n);
        if (workers > 1) {
            struct Block {
                std::string lines;
                uint32_t counted = 0;
            };
            constexpr uint32_t kBlock = 8192;
            const int32_t r = RunOrdered<Block>(
                workers, Watch(t, false, &step), (uint64_t(n) + kBlock - 1) / kBlock,
                [&](Worker& w, uint64_t block, Block& out) {
                    const uint32_t lo = static_cast<uint32_t>(block * kBlock);
                    const uint32_t hi = std::min(n, lo + kBlock);
                    auto stop = [&w] { return !w.Poll(); };
                    for (uint32_t i = lo; i < hi; ++i) {
                        w.Step();
                        w.Advance(1);
                        if (!check(i, stop, out.lines, out.counted)) throw WorkerStopped{};
                    }
                },
                [&](uint64_t, Block& out) {
                    report.Add(out.lines);
                    counted += out.counted;
                });
            if (r < 0) return report.Close() ? r : YRB_FAILED;  // a stop keeps the lines so far
        } else {
            std::string line;
            auto stop = [] { return PollInterrupt(&g_registered); };
            for (uint32_t i = 0; i < n; ++i) {
                step(i);
                line.clear();
                if (PollInterrupt(t) || !check(i, stop, line, counted))
                    return report.Close() ? YRB_STOPPED : YRB_FAILED;  // a stop keeps the lines so far
                report.Add(line);
            }
        }
        if (counted == 0) report.Add("None\r\n");
        step(n);
        return report.Close() ? static_cast<int32_t>(counted) : YRB_FAILED;
    });
}

extern "C" YRB_API int32_t YRB29(int32_t slot, int32_t entry, char* buffer, int32_t max) {
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, &g_registered) != 1) return YRB_FAILED;
    if (entry < 0 || static_cast<uint32_t>(entry) >= list->Count()) return YRB_FAILED;
    const uint32_t e = list->index1[entry];
    if (list->Part(e, YRB_PART_ADDRESS) == nullptr) return YRB_FAILED;
    if (buffer == nullptr || max < 0) return YRB_FAILED;
    return Guarded([&]() -> int32_t {
        BusyScope busy(list);
        ReferenceScope refs;
        const Verdict v = RunChain(*list, e, [] { return PollInterrupt(&g_registered); });
        if (v.result != 0) return v.result;
        const std::string text = v.Text(false);
        const size_t n = std::min(text.size(), static_cast<size_t>(max));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return 0;
    });
}
