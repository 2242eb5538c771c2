// The help files as the help opener uses them: HtmlHelpA with
// "file.chm>window" and HH_DISPLAY_TOPIC for topic 0, HH_HELP_CONTEXT with
// the topic as context number otherwise, opens the viewer's window. Wine
// captions it with the file's title whichever window is named (the
// definitions' own captions, which the files carry, are checked by
// check_help.py); a context number outside the map opens nothing.
#include <windows.h>
#include <htmlhelp.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string HelpPath(const char* file, const char* window)
{
    std::string path = "Z:";
    for (const char* c = KIVO_HELP_DIR; *c; ++c)
        path += *c == '/' ? '\\' : *c;
    return path + "\\" + file + ">" + window;
}

struct HelpCall {
    const char* file;
    const char* window;
    UINT command;
    DWORD_PTR topic;
    const char* caption;  // nullptr: the viewer must not open
};

const HelpCall kCalls[] = {
    {"kivo.chm", "ReleaseNote", HH_HELP_CONTEXT, 8, "KIVO Help"},
    {"kivo.chm", "FullScreen", HH_DISPLAY_TOPIC, 0, "KIVO Help"},
    {"kivo.chm", "FullScreen", HH_HELP_CONTEXT, 22, "KIVO Help"},
    {"kivo.chm", "FullScreen", HH_HELP_CONTEXT, 201, "KIVO Help"},
    {"kivo.chm", "FullWindowSingleTopic", HH_HELP_CONTEXT, 7, "KIVO Help"},
    {"kivop.chm", "FullScreen", HH_HELP_CONTEXT, 23, "KIVO \xB0\xEF\xD6\xFA"},
    // A number the map does not hold.
    {"kivo.chm", "FullScreen", HH_HELP_CONTEXT, 9999, nullptr},
};

TEST(HelpWindow, OpensTheWindowOfEachHelpCall)
{
    for (const HelpCall& call : kCalls) {
        const std::string path = HelpPath(call.file, call.window);
        SCOPED_TRACE(path + " topic " + std::to_string(call.topic));
        HWND window = HtmlHelpA(nullptr, path.c_str(), call.command, call.topic);
        if (!call.caption) {
            EXPECT_EQ(window, nullptr);
            continue;
        }
        ASSERT_NE(window, nullptr);
        char text[256] = {};
        GetClassNameA(window, text, sizeof text);
        EXPECT_STREQ(text, "HH Parent");
        GetWindowTextA(window, text, sizeof text);
        EXPECT_STREQ(text, call.caption);
        HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
}

}  // namespace
