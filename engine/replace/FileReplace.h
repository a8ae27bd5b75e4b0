// How a written file takes its name, for the engine and the program alike:
// a failed call never loses a file that was there, and a file written
// for the user stays the file it was (owner, group, links, permissions).
//
// A file written from its start goes to a temporary file beside it
// (".<name>.ormid-<8 hex>.tmp", created readable by the user alone),
// synced, given the former file's permission bits (a new file: the usual
// bits less the umask) and renamed over the name when the whole call has
// succeeded; the folder is synced once per call after the renames.
// Where a rename would change what the file is (its owner or group not the
// writer's, more than one hard link, an access list) or the folder takes no
// new file, the file is written in place after a copy of its content was
// kept (".<name>.ormid-<8 hex>.kept" beside it, else in the per-user folder
// "$TMPDIR/ormid-<uid>"); the copy is put back on a failure and removed on
// success.  A file appended to is cut back to its former length, on its
// still-open descriptor, or removed when the call created it.  Symbolic
// links are followed (the link stays); a device or a pipe is written in
// place.
//
// All files of one call stand or fall together: a replaced file is kept
// under a second name until the last rename of the call has succeeded, and
// put back on any failure.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace filereplace {

enum class Mode { kFromStart, kAppend };

// The files one call writes.  Destroyed without Commit, it undoes them all.
class Call {
public:
    Call() = default;
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // Opens a file of the call: the descriptor the caller writes to (and
    // never closes), or -1 with Error() set and nothing left behind.
    int Open(const std::string& asked, Mode mode);
    // The bytes of the file last opened are all written: synced, and a
    // temporary file closed.  False with Error() set: the call is undone.
    bool Finish();
    // Empties the name for writers outside this object (the engine),
    // keeping what it held: Commit drops the former content (a replaced
    // file's permission bits go to the new one), Undo puts it back.
    void SetAside(const std::string& asked);
    // Every file of the call goes under its name.  False with Error() set:
    // every file of the call is as it was before the call.
    bool Commit();
    // Every file of the call as it was before the call, where it can be.
    void Undo();
    // A write of the caller failed with this error: the call is undone.
    void Fail(int error);

    int Error() const { return m_error; }
    // what + the name the failure concerns + " (cause)", and a word when
    // the former content of a file written in place could not be kept.
    std::string Describe(const char* what) const;
    // The names of the call written in place with no copy of their former
    // content: a failure cannot put it back.
    std::vector<std::string> LostNames() const;

private:
    enum class Way { kTemporary, kInPlace, kAppend, kDevice, kMovedAside, kCopiedAside, kAbsent };
    struct Entry {
        Way way = Way::kDevice;
        std::string asked;   // for messages
        std::string target;  // the file itself, links followed
        std::string temp;    // kTemporary: written here
        std::string kept;    // the former content, or "" when none was kept
        bool existed = false;
        bool lost = false;   // written in place with no copy kept
        mode_t bits = 0;     // for the file under the name
        off_t formerLength = 0;
        dev_t dev = 0;       // kAppend of a file it created
        ino_t ino = 0;
        int fd = -1;
        bool renamed = false;
        bool finished = false;
    };
    bool FinishEntry(size_t at);
    bool Failed(size_t at, int error);
    void UndoEntry(Entry& e);
    void DropEntry(Entry& e);
    bool KeepFormer(Entry& e);
    // Keeps a copy of the file's content, then opens it emptied for
    // writing; false with errno when it cannot be opened.
    bool EmptyInPlace(Entry& e, off_t formerSize);

    std::vector<Entry> m_entries;
    int m_error = 0;
    std::string m_failedName;
    bool m_failedLost = false;
};

// Writes every byte, through EINTR; false with errno set.
bool WriteAll(int fd, const char* bytes, size_t size);

// The file a name stands for, symbolic links followed (a dangling one too,
// whose target the write then creates).
std::string FollowLinks(const std::string& path);

// Tests make a rename fail; an empty function puts the system's back.
void InstallRename(std::function<int(const char* from, const char* to)> rename);

}  // namespace filereplace
