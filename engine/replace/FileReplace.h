// How a written file takes its name, for the engine and the program alike:
// a failed call never loses a file that was there, and a file written
// for the user stays the file it was (owner, group, links, permissions).
//
// A file written from its start goes to a temporary file beside it
// (".<name>.ormid-<8 hex>.tmp", created readable by the user alone),
// synced, given the former file's permission bits and user attributes (a
// new file: the usual bits less the umask) and renamed over the name when
// the whole call has succeeded; the folder is synced once per call after
// the renames, and a folder that cannot be synced then no longer fails the
// call.  Where the file system keeps no permission bits, the file goes on
// without them.
// Where a rename would change what the file is (its owner or group not the
// writer's, more than one hard link, an access list) or the folder takes no
// new file, the file is written in place, and only after a copy of its
// content was kept (".<name>.ormid-<8 hex>.kept" beside it, else in the
// per-user folder "$TMPDIR/ormid-<uid>"): a file whose content cannot be
// kept is not touched, the call fails and says why.  The copy is put back
// on a failure and removed on success; a copy that cannot be put back stays
// where it is, and the failure names it.  A file appended to is cut back to
// its former length, or removed when the call created it.  The owner's
// set-user-ID and set-group-ID bits, which the system clears on a write,
// are put back after a file written in place or appended to.  Symbolic
// links are followed (the link stays; a loop fails); a device or a pipe is
// written in place.
//
// All files of one call stand or fall together: a replaced file is kept
// under a second name (a hard link, else a copy) until the last rename of
// the call has succeeded, and put back on any failure.  A failure undoes
// only what the call made: a file another program put under a name
// meanwhile stays.  Only the file being written holds a descriptor, so a
// call may write thousands of files.
//
// A write past the process's file-size limit fails like a full disk: the
// first call ignores SIGXFSZ when it is at its default, which would end the
// process in the middle of a file.
#pragma once

#include <sys/types.h>
#include <time.h>

#include <functional>
#include <string>
#include <vector>

namespace filereplace {

enum class Mode { kFromStart, kAppend };

// The permission bits of the file under the name: a replaced file's own
// (a new one: the usual less the umask), or the user's alone whatever the
// former file had.
enum class Bits { kKept, kPrivate };

// What SetAside does with a name whose former content cannot be kept: left
// as it was (a writer from the start then fails on it and says why), or
// cleared for a writer that appends and must not add to it.
enum class Unkept { kLeave, kClear };

// What SetAside did.
enum class Aside {
    kSetAside,  // kept, or nothing to keep (no file, or one the writer refuses)
    kRemoved,   // not kept: removed
    kEmptied,   // not kept, nor removable: emptied
    kLeft,      // not kept: left as it was
};

// The files one call writes.  Destroyed without Commit, it undoes them all.
class Call {
public:
    Call() = default;
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // Opens a file of the call: the descriptor the caller writes to (and
    // never closes), or -1 with Error() set and nothing left behind.
    int Open(const std::string& asked, Mode mode, Bits bits = Bits::kKept);
    // The bytes of the file last opened are all written: synced, and its
    // descriptor closed.  False with Error() set: the call is undone.
    bool Finish();
    // Empties the name for writers outside this object (the engine),
    // keeping what it held: an empty file with the former one's bits and
    // attributes stands there, so that what they write is as private as
    // the former file from its first byte.  Commit drops the former content
    // where a new file stands under the name and puts it back where none
    // does; Undo puts it back.  A name whose content cannot be kept is left
    // as it was, or cleared as unkept says, and Cause() says why it was not
    // kept (and, left where it was to be cleared, why it could not be).
    Aside SetAside(const std::string& asked, Unkept unkept = Unkept::kLeave);
    // Every file of the call goes under its name.  False with Error() set:
    // every file of the call is as it was before the call.
    bool Commit();
    // Every file of the call as it was before the call, where it can be.
    void Undo();
    // A write of the caller failed with this error: the call is undone.
    void Fail(int error);

    int Error() const { return m_error; }
    // The cause of the failure: the system's text, or why no copy of a
    // former content could be kept.
    const std::string& Cause() const { return m_cause; }
    // what + the name the failure concerns + " (cause)", then where the
    // former contents that could not be put back are kept.
    std::string Describe(const char* what) const;
    // A sentence for each former content not put back that no text has
    // named yet (Describe names them all), each handed over once: "The
    // former content of NAME could not be put back: it is kept in KEPT".
    std::vector<std::string> Untold();

private:
    enum class Way { kTemporary, kInPlace, kAppend, kDevice, kMovedAside, kCopiedAside, kAbsent };
    struct Entry {
        Way way = Way::kDevice;
        std::string asked;   // for messages
        std::string target;  // the file itself, links followed
        std::string temp;    // kTemporary: written here
        std::string kept;    // the former content, or "" when none was kept
        bool existed = false;
        mode_t bits = 0;     // for the file under the name
        mode_t former = 0;   // the former file's, which a put-back gives back
        bool privateBits = false;
        off_t formerLength = 0;
        dev_t dev = 0;       // the file the call wrote, made or left at the name
        ino_t ino = 0;
        struct timespec mtime {};  // of the empty file SetAside left
        int fd = -1;         // only while the file is written
        bool renamed = false;
        bool finished = false;
    };
    bool FinishEntry(size_t at);
    bool Failed(size_t at, int error, std::string cause = {});
    void UndoEntry(Entry& e);
    void DropEntry(Entry& e);
    bool KeepFormer(Entry& e);
    // Keeps a copy of the file's content, then empties it through the same
    // descriptor; false with m_cause set when either cannot be done.
    bool EmptyInPlace(Entry& e, off_t formerSize);
    // The kept content goes back under the name: into the file the call
    // wrote when it still stands there, else in place of whatever does.
    void Restore(Entry& e);
    // The kept file goes back under the name, in place of whatever stands
    // there; one that cannot is recorded where it stays.
    void PutBack(Entry& e);
    int Refuse(const std::string& asked, int error, std::string cause = {});

    std::vector<Entry> m_entries;
    int m_error = 0;
    std::string m_cause;
    std::string m_failedName;
    // A former content that could not be put back, and where it is kept.
    struct Unrestored {
        std::string asked;
        std::string kept;
    };
    std::vector<Unrestored> m_unrestored;
    mutable size_t m_told = 0;  // of m_unrestored, named so far
};

// Writes every byte, through EINTR; false with errno set.
bool WriteAll(int fd, const char* bytes, size_t size);

// The file a name stands for, symbolic links followed (a dangling one too,
// whose target the write then creates); "" with errno set for a loop or a
// link too long to read.
std::string FollowLinks(const std::string& path);

// The steps of a call that tests can make fail.
enum class Step {
    kCreate,      // a temporary file, a kept copy or the empty file SetAside leaves
    kLink,        // the second name of a former file
    kRename,      // a temporary file over its name, a former file back
    kChmod,       // permission bits given to a file
    kPutBack,     // the kept content written back
    kFolderSync,  // a folder synced after the renames
    kOpen,        // a file opened to be written in place
    kClear,       // a name whose content could not be kept, removed or emptied
};
// Tests make a step fail: the function answers the error for the step on
// that path (the file or folder it concerns), or 0 to let it run.  An empty
// function lets every step run.
void InstallFault(std::function<int(Step step, const std::string& path)> fault);

}  // namespace filereplace
