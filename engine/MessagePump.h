// Lets the host's windows run while a long conversion works through its chunks.
#pragma once

class CMessagePump {
public:
    virtual ~CMessagePump() = default;
    // Dispatches the window messages waiting in the calling thread's queue and
    // returns when none is left or the quit message was met (it is posted
    // again, so the host's own loop still sees it).
    virtual void PumpWaitingMessages() = 0;
};

// The calling thread's own message queue; null in builds without one.
CMessagePump* PlatformMessagePump();
