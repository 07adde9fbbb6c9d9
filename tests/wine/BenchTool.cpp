// Small commands for the shell scripts: wait for a top-level window of a class, or close it.
//   bench_tool wait CLASS [SECONDS]   exit 0 once a visible one exists, 1 after SECONDS (30)
//   bench_tool close CLASS [SECONDS]  closes every one and waits until they are gone
//   bench_tool record FILE TEXT       appends TEXT and a line break to FILE: a stand-in for the
//                                     program registered for a link's scheme
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Bench.h"

namespace {

std::vector<HWND> Windows(const std::string& className)
{
    std::vector<HWND> found;
    lumora::bench::ForEachWindow(nullptr, [&](HWND window) {
        char name[256] = {};
        GetClassNameA(window, name, sizeof name);
        if (className == name && IsWindowVisible(window)) found.push_back(window);
        return true;
    });
    return found;
}

// Binary mode: the line break stays one LF, whatever the runtime's text mode would write.
int Record(const char* file, const char* text)
{
    FILE* out = std::fopen(file, "ab");
    if (out == nullptr) return 1;
    std::fprintf(out, "%s\n", text);
    return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_tool wait|close CLASS [SECONDS]\n");
        return 2;
    }
    const std::string command = argv[1];
    if (command == "record" && argc == 4) return Record(argv[2], argv[3]);
    const std::string className = argv[2];
    const DWORD timeoutMs = static_cast<DWORD>(argc > 3 ? std::atoi(argv[3]) : 30) * 1000;
    if (command == "wait") {
        return lumora::bench::WaitUntil([&] { return !Windows(className).empty(); }, timeoutMs) ? 0 : 1;
    }
    if (command == "close") {
        for (const HWND window : Windows(className)) PostMessageA(window, WM_CLOSE, 0, 0);
        return lumora::bench::WaitUntil([&] { return Windows(className).empty(); }, timeoutMs) ? 0 : 1;
    }
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
}
