#pragma once

// Lets pending window messages (input, timers, repaints) be handled.  Called
// by long work on the user-interface thread; never from a paint, a resize or
// a model's data().
class MessagePump {
public:
    static void DoEvents();
};
