#pragma once

#include <cstdint>

class QWidget;

// Outer position and size of a window in twips, as forms see them.
class FormGeometry {
public:
    static int64_t Left(const QWidget* w);
    static int64_t Top(const QWidget* w);
    static int64_t Width(const QWidget* w);
    static int64_t Height(const QWidget* w);
    static bool IsMinimized(const QWidget* w);
    // Moves the window's outer frame to (left, top) without resizing it.
    static void Move(QWidget* w, int64_t leftTwips, int64_t topTwips);
};
