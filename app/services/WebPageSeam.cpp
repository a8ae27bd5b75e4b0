#include "WebPageSeam.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
WebPageSeam::Opener& Current() {
    static WebPageSeam::Opener opener;
    return opener;
}
}  // namespace

void WebPageSeam::Install(Opener opener) { Current() = std::move(opener); }

bool WebPageSeam::Open(const QString& address) {
    const auto& o = Current();
    return o ? o(address) : QDesktopServices::openUrl(QUrl(address));
}
