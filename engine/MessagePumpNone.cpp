#include "MessagePump.h"

// The native build has no window messages to dispatch.
CMessagePump* PlatformMessagePump()
{
    return nullptr;
}
