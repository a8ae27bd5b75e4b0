#pragma once

#include <functional>

#include <QString>

// The platform's own message box with the critical-stop icon, for failures of
// the error reporter itself.  Tests install a recorder; an empty function
// puts the real box back.
class PlainMessageBox {
public:
    static void Critical(const QString& title, const QString& text);
    static void Install(std::function<void(const QString& title, const QString& text)> shower);
};
