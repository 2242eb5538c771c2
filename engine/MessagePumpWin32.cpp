#include "MessagePump.h"

#include <windows.h>

namespace {

class CMessagePumpWin32 final : public CMessagePump {
public:
    void PumpWaitingMessages() override
    {
        // A window that never validates itself keeps WM_PAINT waiting forever;
        // the bound lets the conversion finish all the same.
        for (int n = 0; n < kMaxMessagesPerCall; ++n) {
            MSG msg;
            if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE))
                return;
            const BOOL got = GetMessage(&msg, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (got < 0)
                return;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
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
