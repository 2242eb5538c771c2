// A stand-in for kivocp.exe while the tester's hand-over is tested: it
// records how it was started (its arguments, its working folder and its own
// name) in "started.txt" beside itself, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int nShowCmd)
{
    char szModule[MAX_PATH] = {};
    char szFolder[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, szModule, MAX_PATH) || !GetCurrentDirectoryA(MAX_PATH, szFolder))
        return 1;
    std::string strRecord = szModule;
    const std::string::size_type slash = strRecord.find_last_of('\\');
    const std::string strName = slash == std::string::npos ? strRecord : strRecord.substr(slash + 1);
    strRecord = slash == std::string::npos ? std::string("started.txt") : strRecord.substr(0, slash + 1) + "started.txt";
    FILE* out = std::fopen(strRecord.c_str(), "a");
    if (!out)
        return 1;
    std::fprintf(out, "%s\n%s\n%s\n%d\n", lpCmdLine ? lpCmdLine : "", szFolder, strName.c_str(), nShowCmd);
    return std::fclose(out) == 0 ? 0 : 1;
}
