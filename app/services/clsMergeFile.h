#pragma once

#include <cstdint>
#include <memory>

#include <QList>
#include <QString>

// One address file of the file pane: a plain record that the
// pane's Add fills and its counters complete.  -1 in a count: not counted
// yet; otherwise the engine's result (the count, -1 failed, -2 stopped).
class clsMergeFile {
public:
    clsMergeFile();
    ~clsMergeFile();

    QString name;         // the file's name without its folder
    QString Path;         // its folder, ending with "/": Path + name is the full path
    int32_t nbRec = -1;   // records
    int32_t nbInv = -1;   // invalid entries
    int32_t nbDup = -1;   // duplicate entries
    int64_t Size = 0;     // bytes, 64-bit
};

// The program-wide collection of the listed files, in the order they were
// added.
QList<std::shared_ptr<clsMergeFile>>& MergeFiles();
