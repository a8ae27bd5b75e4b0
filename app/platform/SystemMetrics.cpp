#include "SystemMetrics.h"

#include <QApplication>
#include <QStyle>

namespace {
std::function<int(int)>& Source() {
    static std::function<int(int)> s;
    return s;
}
}  // namespace

int SystemMetrics::Get(int index) {
    if (Source()) return Source()(index);
    QStyle* style = QApplication::style();
    switch (index) {
        case kCxVScroll: return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
        case kCxEdge: return style ? style->pixelMetric(QStyle::PM_DefaultFrameWidth) : 2;
        default: return 0;
    }
}

void SystemMetrics::Install(std::function<int(int)> source) { Source() = std::move(source); }
