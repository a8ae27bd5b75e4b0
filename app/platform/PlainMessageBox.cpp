#include "PlainMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
std::function<void(const QString&, const QString&)>& Shower() {
    static std::function<void(const QString&, const QString&)> shower;
    return shower;
}
}  // namespace

void PlainMessageBox::Critical(const QString& title, const QString& text) {
    if (const auto& s = Shower()) {
        s(title, text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    QMessageBox::critical(QApplication::activeWindow(), title, text);
}

void PlainMessageBox::Install(std::function<void(const QString&, const QString&)> shower) {
    Shower() = std::move(shower);
}
