#include "MemoryStatus.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {
std::function<std::optional<int64_t>()>& Source() {
    static std::function<std::optional<int64_t>()> source;
    return source;
}
}  // namespace

std::optional<int64_t> MemoryStatus::AvailableBytes() {
    if (const auto& s = Source()) return s();
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return ParseMemInfo(f.readAll());
}

void MemoryStatus::Install(std::function<std::optional<int64_t>()> source) { Source() = std::move(source); }

std::optional<int64_t> MemoryStatus::ParseMemInfo(const QByteArray& text) {
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith("MemAvailable:")) continue;
        const QList<QByteArray> words = line.mid(13).simplified().split(' ');
        if (words.isEmpty()) return std::nullopt;
        bool ok = false;
        const qlonglong value = words.at(0).toLongLong(&ok);
        if (!ok || value < 0) return std::nullopt;
        int64_t factor = 1;
        if (words.size() > 1) {
            const QByteArray unit = words.at(1).toLower();
            if (unit == "kb") factor = 1024;
            else if (unit == "mb") factor = 1024 * 1024;
        }
        return static_cast<int64_t>(value) * factor;
    }
    return std::nullopt;
}
