#pragma once

#include <exception>

#include <QString>

// Runs a procedure body; a failure inside it never reaches the caller but
// becomes the description handed to onError.
template <class Body, class OnError>
void Trap(Body&& body, OnError&& onError) {
    try {
        body();
    } catch (const std::exception& e) {
        onError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        onError(QStringLiteral("Unknown failure"));
    }
}
