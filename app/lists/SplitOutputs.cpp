#include "SplitOutputs.h"

#include <algorithm>

#include <QFile>

#include "modGlobalFunctionsFiles.h"

namespace SplitOutputs {

QString DomainName(const QString& output, Half half) {
    const QLatin1String suffix(half == Half::kInside ? "_I" : "_E");
    QString base, ext;
    if (modGlobalFunctions::GetFileExtension(output, base, ext)) return base + suffix + QLatin1Char('.') + ext;
    return output + suffix;
}

int32_t NumberedFiles(int64_t entries, int32_t perFile) {
    if (perFile <= 0) return 0;
    return static_cast<int32_t>(std::max<int64_t>(1, (entries + perFile - 1) / perFile));
}

bool ForEach(const QString& output, int32_t numbered, const std::function<bool(const QString&)>& visit) {
    for (const QString& name : {output, DomainName(output, Half::kInside), DomainName(output, Half::kOutside)}) {
        if (!visit(name)) return false;
        for (int k = 1; k <= numbered || QFile::exists(modGlobalFunctions::NumberedFileName(name, k)); ++k)
            if (!visit(modGlobalFunctions::NumberedFileName(name, k))) return false;
    }
    return true;
}

bool AnyPresent(const QString& output, int32_t numbered) {
    return !ForEach(output, numbered,
                    [](const QString& name) { return !modGlobalFunctions::IsFilePresent(FilePattern(name)); });
}

}  // namespace SplitOutputs
