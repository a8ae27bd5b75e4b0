// Writing the entries of a list to one file or to numbered files
// (YRB01).
//
// Deliberate behaviour (see the tests in writing_test.cpp):
// - the record separator stands only between entries actually written in a
//   file, so filtered-out entries at the end leave no trailing separator;
// - writing addresses only, an entry without an address is neither written
//   nor counted and takes no place in a numbered file;
// - whole records written with another field separator keep their empty
//   fields, so columns never shift;
// - the numbered names take the extension from the file name only;
// - the mode must be one the program uses ("wb", "w+b", "a+b");
// - a failed write is reported with its cause instead of being lost, and
//   leaves no cut file: the files of the call are undone (buffered_writer.h);
// - a stop keeps what was written so far, whole entries only.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "buffered_writer.h"
#include "gather.h"
#include "guard.h"
#include "lists.h"
#include "parallel.h"
#include "text.h"

namespace yrb {

namespace {

// The numbered name of file k: "%s_%.0d.%s" with the name and the extension
// cut from the file name only.  A name without extension gives "name_k"; a
// leading "." of the file name (a hidden file) starts no extension.
struct NumberedName {
    std::string base;
    std::string ext;
    bool hasExt = false;

    explicit NumberedName(const std::string& path) {
        const size_t slash = path.rfind('/');
        const size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
        const size_t dot = path.rfind('.');
        if (dot != std::string::npos && dot > fileStart) {
            base = path.substr(0, dot);
            ext = path.substr(dot + 1);
            hasExt = true;
        } else {
            base = path;
        }
    }
    std::string operator()(uint32_t k) const {
        return hasExt ? Format("%s_%u.%s", base.c_str(), k, ext.c_str()) : Format("%s_%u", base.c_str(), k);
    }
};

bool IsProgramMode(const char* mode) {
    return std::strcmp(mode, "wb") == 0 || std::strcmp(mode, "w+b") == 0 || std::strcmp(mode, "a+b") == 0;
}

}  // namespace

}  // namespace yrb

using namespace yrb;

extern "C" YRB_API int32_t YRB01(int32_t slot, int32_t must_have, int32_t must_not, int32_t reverse,
                                 int32_t whole_record, const char* out_field_sep,
                                 const char* out_record_sep, const char* path, int32_t per_file,
                                 const char* mode) {
    const Table* t = &g_registered;
    ListObject* list = nullptr;
    if (ValidateSlot(slot, list, t) != 1) return YRB_FAILED;
    if (out_record_sep == nullptr || *out_record_sep == '\0') {
        SendError(t, "No output record separator has been specified");
        return YRB_FAILED;
    }
    if (out_field_sep == nullptr) out_field_sep = "";
    if (path == nullptr || *path == '\0') {
        SendError(t, "No output file has been specified");
        return YRB_FAILED;
    }
    if (mode == nullptr || !IsProgramMode(mode)) {
        SendError(t, Format("Invalid mode for file writing : %s", mode ? mode : ""));
        return YRB_FAILED;
    }
    return Guarded([&]() -> int32_t {
        BusyScope busy(list);
        const bool backwards = reverse != 0;
        const bool records = whole_record != 0;
        const bool append = mode[0] == 'a';
        const uint32_t perFile = per_file > 0 ? static_cast<uint32_t>(per_file) : 0;
        const ListDimension& fields = list->dims[1];
        const size_t recSepLen = std::strlen(out_record_sep);
        const size_t fieldSepLen = std::strlen(out_field_sep);
        const bool sameFieldSep = EqualBytes(out_field_sep, fields.separator, static_cast<uint32_t>(fieldSepLen),
                                             fields.sepLength) != 0;
        const NumberedName numbered(path);

        const uint32_t n = list->Count();
        InitProgress(t, n);
        Info(t, "Writing entries to file");
        Progress(t, 0);
        ProgressStep step(t, n);

        BufferedWriter out;
        uint32_t fileNumber = 1;
        std::string name = perFile ? numbered(fileNumber) : std::string(path);
        if (!out.Open(name, mode)) {
            SendError(t, out.OpenFailure("Could not open file for writing : "));
            return YRB_FAILED;
        }
        if (append) out.Add(out_record_sep, recSepLen);

        uint32_t written = 0;
        uint32_t inFile = 0;
        // The entry's text (record or address) as it goes to the file.
        auto format = [&](std::string& to, const ListItem& item) {
            const char* text = list->Text(item);
            if (!records || sameFieldSep) {
                to.append(text, item.length);
                return;
            }
            // Every field, empty ones too, each followed by the output field
            // separator when one followed it.
            const char* cursor = text;
            const char* end = text + item.length;
            const char* tok = nullptr;
            uint32_t tokLen = 0;
            while (NextToken(cursor, end, fields.separator, fields.sepLength, tok, tokLen)) {
                to.append(tok, tokLen);
                if (cursor != nullptr) to.append(out_field_sep, fieldSepLen);
            }
        };
        // Positions [lo, hi) of the walk, a batch at a time: take(position,
        // item) for the entries that pass the filter, item null for one
        // without address when addresses are written.  Sorted lists
        // are walked in an order unrelated to memory: each batch first
        // follows its entries' links one step at a time and asks for their
        // texts, so the cache misses overlap.
        auto walk = [&](uint32_t lo, uint32_t hi, auto take) -> bool {
            uint32_t ids[kGatherBatch];
            const ListItem* items[kGatherBatch];
            for (uint32_t base = lo; base < hi; base += kGatherBatch) {
                const uint32_t m = std::min<uint32_t>(kGatherBatch, hi - base);
                for (uint32_t j = 0; j < m; ++j) ids[j] = list->index1[backwards ? n - 1 - (base + j) : base + j];
                if (records) {
                    for (uint32_t j = 0; j < m; ++j) items[j] = &list->Entry(ids[j]);
                } else {
                    GatherParts(*list, ids, m, YRB_PART_ADDRESS, items);
                }
                for (uint32_t j = 0; j < m; ++j) {
                    __builtin_prefetch(&list->flags[ids[j]]);
                    if (items[j]) __builtin_prefetch(list->Text(*items[j]));
                }
                for (uint32_t j = 0; j < m; ++j) {
                    if (!PassesFilter(LoadFlags(list->flags[ids[j]]), must_have, must_not)) continue;
                    if (!take(base + j, items[j])) return false;
                }
            }
            return true;
        };

        const unsigned workers = WorkersFor(n);
        if (workers > 1) {
            // Workers format blocks of entries, each entry after the record
            // separator; the separator is left out where a file starts.
            struct Block {
                std::string bytes;
                uint32_t entries = 0;
                std::vector<uint32_t> starts;  // of each entry, with numbered files
            };
            constexpr uint32_t kBlock = 16384;
            bool failed = false;
            const int32_t r = RunOrdered<Block>(
                workers, Watch(t, false, &step), (uint64_t(n) + kBlock - 1) / kBlock,
                [&](Worker& w, uint64_t block, Block& b) {
                    const uint32_t lo = static_cast<uint32_t>(block * kBlock);
                    walk(lo, std::min(n, lo + kBlock), [&](uint32_t, const ListItem* item) {
                        w.Step();
                        w.Advance(1);
                        if (item == nullptr) return true;
                        if (perFile) b.starts.push_back(static_cast<uint32_t>(b.bytes.size()));
                        ++b.entries;
                        b.bytes.append(out_record_sep, recSepLen);
                        format(b.bytes, *item);
                        return true;
                    });
                },
                [&](uint64_t, Block& b) {
                    if (failed || b.entries == 0) return;
                    written += b.entries;
                    if (!perFile) {
                        const size_t skip = inFile == 0 ? recSepLen : 0;
                        out.Add(b.bytes.data() + skip, b.bytes.size() - skip);
                        inFile = 1;  // only whether the file holds an entry matters here
                        return;
                    }
                    const size_t m = b.starts.size();
                    for (size_t k = 0; k < m;) {
                        if (inFile == perFile) {
                            if (!out.CloseFile()) {
                                failed = true;
                                return;
                            }
                            name = numbered(++fileNumber);
                            if (!out.Open(name, mode)) {
                                SendError(t, out.OpenFailure("Could not open file for writing : "));
                                failed = true;
                                return;
                            }
                            inFile = 0;
                        }
                        const size_t take = std::min<size_t>(m - k, perFile - inFile);
                        const size_t from = b.starts[k] + (inFile == 0 ? recSepLen : 0);
                        const size_t to = k + take < m ? b.starts[k + take] : b.bytes.size();
                        out.Add(b.bytes.data() + from, to - from);
                        inFile += static_cast<uint32_t>(take);
                        k += take;
                    }
                });
            if (failed) return YRB_FAILED;
            // A stop keeps the entries written so far, whole.
            if (r < 0) return out.Close() ? r : YRB_FAILED;
        } else {
            std::string text;
            bool stopped = false;
            const bool done = walk(0, n, [&](uint32_t i, const ListItem* item) {
                if (item != nullptr) {
                    if (perFile && inFile == perFile) {
                        if (!out.CloseFile()) return false;
                        name = numbered(++fileNumber);
                        if (!out.Open(name, mode)) {
                            SendError(t, out.OpenFailure("Could not open file for writing : "));
                            return false;
                        }
                        inFile = 0;
                    }
                    if (inFile > 0) out.Add(out_record_sep, recSepLen);
                    text.clear();
                    format(text, *item);
                    out.Add(text);
                    ++written;
                    ++inFile;
                }
                step(i);
                if (PollInterrupt(t)) {
                    stopped = true;  // what was written stays in the file
                    return false;
                }
                return true;
            });
            if (stopped) return out.Close() ? YRB_STOPPED : YRB_FAILED;
            if (!done) return YRB_FAILED;
        }
        Progress(t, n);
        if (!out.Close()) return YRB_FAILED;
        return static_cast<int32_t>(written);
    });
}
