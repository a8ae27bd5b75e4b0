#include "clsMergeFile.h"

clsMergeFile::clsMergeFile() = default;

clsMergeFile::~clsMergeFile() = default;

QList<std::shared_ptr<clsMergeFile>>& MergeFiles() {
    static QList<std::shared_ptr<clsMergeFile>> files;
    return files;
}
