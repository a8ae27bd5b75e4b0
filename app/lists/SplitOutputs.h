#pragma once

#include <cstdint>
#include <functional>

#include <QString>

// The files a save or a split under one output name writes or replaces:
// the name itself and the two halves of a split by domain, each with its
// numbered files (modGlobalFunctions::NumberedFileName).  The save writes
// and removes them; the save dialog asks before it overwrites one.
namespace SplitOutputs {

enum class Half {
    kInside,   // "_I": the entries of the domain
    kOutside,  // "_E": the others
};

// The file of one half of a split by domain: "_I" or "_E" before the
// extension of the file name, or at the end when it has none.
QString DomainName(const QString& output, Half half);

// The numbered files a write of entries makes at perFile entries a file:
// the first even for no entry; 0 when perFile is 0 (the name itself).
int32_t NumberedFiles(int64_t entries, int32_t perFile);

// Calls visit with the output, then with each half, each followed by its
// numbered files: the first `numbered` of them, then further ones while
// they exist and follow each other.  Stops when visit answers false, and
// answers false then.
bool ForEach(const QString& output, int32_t numbered, const std::function<bool(const QString&)>& visit);

// True when one of ForEach's names is a file, each tested by its own name:
// that needs no listing of the folder.
bool AnyPresent(const QString& output, int32_t numbered);

}  // namespace SplitOutputs
