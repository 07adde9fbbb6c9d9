// Small commands for the shell scripts: wait for a top-level window of a class, or close it.
//   bench_tool wait CLASS [SECONDS]   exit 0 once a visible one exists, 1 after SECONDS (30)
//   bench_tool close CLASS [SECONDS]  closes every one and waits until they are gone
//   bench_tool record FILE TEXT       appends TEXT and a line break to FILE: a stand-in for the
//                                     program registered for a link's scheme
//   bench_tool restart SECONDS        ticks a Tweak box of the running manager, presses Apply and
//                                     answers the restart question with Yes
#include <windows.h>

#include <cstdint>
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

// --- the restart offer answered Yes

// The descendant of window whose "Name" atom is name; nullptr when none.
HWND NamedControl(HWND window, const std::string& name)
{
    HWND found = nullptr;
    lumora::bench::ForEachWindow(window, [&](HWND child) {
        const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(GetPropA(child, "Name")));
        char text[128] = {};
        if (atom != 0 && GlobalGetAtomNameA(atom, text, sizeof text) > 0 && name == text) found = child;
        return found == nullptr;
    });
    return found;
}

// A visible dialog box of the process with this title; nullptr when none.
HWND ProcessDialog(DWORD processId, const std::string& title)
{
    HWND found = nullptr;
    lumora::bench::ForEachWindow(nullptr, [&](HWND window) {
        char name[64] = {};
        char text[256] = {};
        DWORD owner = 0;
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, text, sizeof text);
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && std::string(name) == "#32770" && title == text && IsWindowVisible(window)) {
            found = window;
        }
        return found == nullptr;
    });
    return found;
}

// Ticks "Add buffer for harddisk" of the running manager, presses Apply and answers the restart
// question with Yes. The restart may end every program of the prefix, this one too, before it
// can return: what it did is printed first.
int AnswerRestartYes(DWORD timeoutMs)
{
    HWND window = nullptr;
    lumora::bench::WaitUntil(
        [&] {
            const auto found = Windows("TForm1");
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeoutMs);
    const HWND box = window != nullptr ? NamedControl(window, "CheckBox9") : nullptr;
    const HWND apply = window != nullptr ? NamedControl(window, "Button2") : nullptr;
    if (box == nullptr || apply == nullptr) {
        std::fprintf(stderr, "no manager window with its Tweak box and Apply\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
    result = 0;
    SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &result);
    if (result != BST_CHECKED) {
        std::fprintf(stderr, "the Tweak box did not tick\n");
        return 1;
    }
    // Apply ends in a modal box: post the click, then look for the box.
    PostMessageA(apply, BM_CLICK, 0, 0);
    HWND question = nullptr;
    lumora::bench::WaitUntil([&] { return (question = ProcessDialog(processId, "Confirm")) != nullptr; }, timeoutMs);
    const HWND yes = question != nullptr ? GetDlgItem(question, IDYES) : nullptr;
    if (yes == nullptr) {
        std::fprintf(stderr, "no restart question with a Yes button\n");
        return 1;
    }
    // A message box's text is its static control 0xFFFF.
    char text[256] = {};
    if (const HWND label = GetDlgItem(question, 0xFFFF)) {
        SendMessageTimeoutA(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                            &result);
    }
    std::printf("question: %s\n", text);
    std::printf("answering Yes\n");
    std::fflush(stdout);
    PostMessageA(yes, BM_CLICK, 0, 0);
    return 0;
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
    if (command == "restart") return AnswerRestartYes(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
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
