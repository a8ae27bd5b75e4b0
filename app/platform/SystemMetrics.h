#pragma once

#include <functional>

// System metrics by their Windows numbers: 2 the width of a vertical scroll
// bar, 45 the width of a sunken edge.  Tests install values of their own; an
// empty function puts the style's back.
class SystemMetrics {
public:
    static constexpr int kCxVScroll = 2;
    static constexpr int kCxEdge = 45;

    static int Get(int index);
    static void Install(std::function<int(int)> source);
};
