#include "clsMergeFile.h"

#include "ErrorTrap.h"
#include "modGlobalFunctions.h"

namespace {
void Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, QStringLiteral("clsMergeFile"), routine, false, true);
}
}  // namespace

clsMergeFile::clsMergeFile() {
    Trap(
        [&] {
            nbRec = -1;
            nbInv = -1;
            nbDup = -1;
        },
        [](const QString& d) {
            Report(d, QStringLiteral("File Object Initialization Error"), QStringLiteral("Class_Initialize"));
        });
}

clsMergeFile::~clsMergeFile() = default;

QList<std::shared_ptr<clsMergeFile>>& MergeFiles() {
    static QList<std::shared_ptr<clsMergeFile>> files;
    return files;
}
