#include "MessagePump.h"

#include <windows.h>

namespace {

class CMessagePumpWin32 final : public CMessagePump {
public:
    void PumpWaitingMessages() override
    {
        // A window that never validates itself keeps WM_PAINT waiting forever;
        // the bound lets the conversion finish all the same.
        // The host's windows are Unicode ones on the NT family: a character
        // typed into one in the middle of a conversion must not be narrowed
        // to the system's code page on its way through this loop.
        const bool bWide = (GetVersion() & 0x80000000u) == 0;
        for (int n = 0; n < kMaxMessagesPerCall; ++n) {
            MSG msg;
            const BOOL waiting = bWide ? PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)
                                       : PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            if (!waiting)
                return;
            const BOOL got = bWide ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (got < 0)
                return;
            TranslateMessage(&msg);
            if (bWide)
                DispatchMessageW(&msg);
            else
                DispatchMessageA(&msg);
        }
    }

private:
    static constexpr int kMaxMessagesPerCall = 10000;
};

} // namespace

CMessagePump* PlatformMessagePump()
{
    static CMessagePumpWin32 pump;
    return &pump;
}
