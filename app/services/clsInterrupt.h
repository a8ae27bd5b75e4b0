#pragma once

#include <memory>

#include <QString>

class clsError;

// The user's stop request: raised by the progress window's Cancel button,
// polled by long work.  Resetting pollers take a request once.
class clsInterrupt {
public:
    clsInterrupt() = default;
    clsInterrupt(const clsInterrupt&) = delete;
    clsInterrupt& operator=(const clsInterrupt&) = delete;

    bool Active = false;
    QString Origin = QStringLiteral("Operator");
    std::shared_ptr<clsError> MyError;

    void ISet(const QString& origin);
    void IReset();
};
