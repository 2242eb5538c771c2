// Hands the user over to Lumbra for editing word adjustment. A running Lumbra
// is shown (restored when minimised), brought to the front and sent its own word-adjustment command. A
// Lumbra that is not running is started and waited for, one tick a second
// for at most two minutes; the command goes to its window once, when the
// window appears. Nothing comes back from Lumbra.
#pragma once

#include <windows.h>

#include <string>

// Lumbra's main window class and its word-adjustment command.
constexpr char kLumbraWindowClass[] = "Perdix_Lumbra";
constexpr WPARAM kLumbraWordAdjustmentCommand = 32890;

// The top-level Lumbra window, or null.
HWND FindLumbraWindow();

class CLumbraHandOff {
public:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTickMs = 1000;
    static constexpr int kMaxTicks = 120;

    // `hTimerWindow` owns timer 1 and hands its ticks to OnTimer.
    explicit CLumbraHandOff(HWND hTimerWindow) : m_hTimerWindow(hTimerWindow) {}
    CLumbraHandOff(const CLumbraHandOff&) = delete;
    CLumbraHandOff& operator=(const CLumbraHandOff&) = delete;

    // False only when Lumbra was not running and the shell could not start
    // `strLumbraExe`; then there is nothing to wait for. While a started
    // Lumbra is waited for, nothing is started again.
    bool Start(const std::string& strLumbraExe);
    // Timer 1's tick.
    void OnTimer();
    bool IsWaiting() const { return m_nWait <= kMaxTicks; }

private:
    void Activate(HWND hLumbra);

    HWND m_hTimerWindow;
    int m_nWait = kMaxTicks + 1;  // past the limit: no wait under way
};
