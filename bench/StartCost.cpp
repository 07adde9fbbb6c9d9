// The start-up timer's Windows half: waits for a program that the shell starts to show its
// loaded window, says so, and closes it when told. The shell reads the program's CPU time from
// /proc in between, so that nothing this side does is counted.
//   start_cost wait CLASS TEXT SECONDS
// prints "ready" once it watches, "loaded" once a visible top-level window of CLASS has a
// descendant whose text is TEXT (any visible one when TEXT is "-"), then waits for a line on its
// input, closes the window and prints "closed" once it is gone. Exit 1 when the window never
// loaded within SECONDS.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
    const char* text;
    bool found;
};

BOOL CALLBACK MatchText(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    char text[64] = {};
    DWORD_PTR copied = 0;
    // A window whose thread is still busy starting answers late; the next round asks again.
    if (SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000,
                            &copied) &&
        std::strcmp(text, search->text) == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool HasText(HWND window, const char* text)
{
    if (std::strcmp(text, "-") == 0) return true;
    Search search{text, false};
    EnumChildWindows(window, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 || std::strcmp(argv[1], "wait") != 0) {
        std::fprintf(stderr, "usage: start_cost wait CLASS TEXT SECONDS\n");
        return 2;
    }
    const char* className = argv[2];
    const char* text = argv[3];
    const DWORD limit = static_cast<DWORD>(std::atoi(argv[4])) * 1000;
    std::printf("ready\n");
    std::fflush(stdout);

    const DWORD start = GetTickCount();
    const auto late = [&] { return GetTickCount() - start > limit; };
    // Until the window exists only the server is asked, every millisecond: that costs the
    // starting program nothing. Then its thread is left alone until it first waits for input,
    // which it does once its window is up and painted, and only then are its controls read.
    HWND window = nullptr;
    while (!(window = FindWindowA(className, nullptr)) || !IsWindowVisible(window)) {
        if (late()) {
            std::printf("timeout\n");
            return 1;
        }
        Sleep(1);
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
        WaitForInputIdle(process, limit);
        CloseHandle(process);
    }
    while (!HasText(window, text)) {
        if (late()) {
            std::printf("timeout\n");
            return 1;
        }
        Sleep(2);
    }
    std::printf("loaded\n");
    std::fflush(stdout);

    char line[16];
    std::fgets(line, sizeof line, stdin);
    PostMessageA(window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 1000 && IsWindow(window); ++i) Sleep(10);
    std::printf("closed\n");
    return 0;
}
