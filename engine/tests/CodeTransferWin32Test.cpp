// The pipeline against the real platform: code pages 936 and 950 of
// MultiByteToWideChar/WideCharToMultiByte, and the thread's message queue.
#include "CodeTransfer.h"
#include "TestText.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const CCodePageConverter& Converter() { return PlatformCodePageConverter(); }

TEST(CodePageConverterWin32, ControlCharactersAndAsciiSurviveBothWays)
{
    // MB_USEGLYPHCHARS must not turn line ends and tabs into glyphs.
    std::string text;
    for (int c = 1; c < 0x80; ++c)
        text.push_back(static_cast<char>(c));
    for (unsigned codePage : {936u, 950u}) {
        std::u16string units;
        ASSERT_TRUE(Converter().MultiByteToUnicode(text, codePage, units));
        ASSERT_EQ(units.size(), text.size() + 1);
        for (std::size_t i = 0; i < text.size(); ++i)
            EXPECT_EQ(units[i], static_cast<char16_t>(text[i])) << codePage << " byte " << i;
        EXPECT_EQ(units.back(), u'\0');
        std::string back;
        ASSERT_TRUE(Converter().UnicodeToMultiByte(units.data(), units.size(), codePage, back));
        EXPECT_EQ(back, text);
    }
}

TEST(CodePageConverterWin32, DefaultCharacterAndEmptyTexts)
{
    std::string out = "kept";
    const std::u16string men = u"\u4EEC\u4E2D";  // 们 is not in code page 950, 中 is
    ASSERT_TRUE(Converter().UnicodeToMultiByte(men.data(), men.size(), 950, out));
    EXPECT_EQ(Hex(out), Hex(Bytes({'?', 0xA4, 0xA4})));
    out = "kept";
    const std::u16string empty = u"";
    EXPECT_FALSE(Converter().UnicodeToMultiByte(empty.data(), 0, 936, out));
    const std::u16string zeroFirst(u"\0a", 2);
    EXPECT_FALSE(Converter().UnicodeToMultiByte(zeroFirst.data(), zeroFirst.size(), 936, out));
    EXPECT_EQ(out, "kept");
    std::u16string units;
    ASSERT_TRUE(Converter().MultiByteToUnicode("", 936, units));
    EXPECT_EQ(units, std::u16string(1, u'\0'));
}

// A window that counts what it is sent.
class CCountingWindow {
public:
    CCountingWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &CCountingWindow::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KivoPumpTestWindow";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        s_nReceived = 0;
    }
    ~CCountingWindow() { DestroyWindow(m_hWnd); }
    CCountingWindow(const CCountingWindow&) = delete;
    CCountingWindow& operator=(const CCountingWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    static int s_nReceived;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP)
            ++s_nReceived;
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    HWND m_hWnd;
};
int CCountingWindow::s_nReceived = 0;

std::vector<short> LongBig5Elements()
{
    std::vector<short> elements;
    for (int line = 0; line < 60; ++line) {
        for (int i = 0; i < 100; ++i) {
            elements.push_back(static_cast<signed char>(0xA4));
            elements.push_back(static_cast<signed char>(0xA4));
        }
        elements.push_back('\n');
    }
    return elements;
}

short TransferWithPump(int source, int destination, std::vector<short> elements)
{
    TransferServices services;
    services.messagePump = PlatformMessagePump();
    const short codes[3] = {static_cast<short>(source), static_cast<short>(destination),
                            static_cast<short>(elements.size())};
    elements.resize(32767);
    return CodeTransfer(elements.data(), elements.size(), codes, services);
}

TEST(MessagePumpWin32, Big5ToGbDispatchesWaitingMessages)
{
    CCountingWindow window;
    for (int i = 0; i < 5; ++i)
        PostMessageA(window.Handle(), WM_APP, 0, 0);
    EXPECT_EQ(TransferWithPump(Big5Traditional, GbkSimplified, LongBig5Elements()), 12060);
    EXPECT_EQ(CCountingWindow::s_nReceived, 5);
}

TEST(MessagePumpWin32, GbToBig5LeavesTheQueueAlone)
{
    CCountingWindow window;
    PostMessageA(window.Handle(), WM_APP, 0, 0);
    EXPECT_EQ(TransferWithPump(GbkSimplified, Big5Traditional, LongBig5Elements()), 12060);
    EXPECT_EQ(CCountingWindow::s_nReceived, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

TEST(MessagePumpWin32, QuitMessageIsPostedAgainForTheHostsLoop)
{
    CCountingWindow window;
    PostQuitMessage(3);
    PostMessageA(window.Handle(), WM_APP, 0, 0);
    EXPECT_EQ(TransferWithPump(Big5Traditional, GbkSimplified, LongBig5Elements()), 12060);
    MSG msg;
    bool sawQuit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            sawQuit = true;
            EXPECT_EQ(msg.wParam, 3u);
        }
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(sawQuit);
}

} // namespace
