// The shell scripts' remote control of the running manager: wait for a top-level window of a
// class, or close it; time start-ups, show a page and drive the running manager.
//   manager_remote wait CLASS [SECONDS]   exit 0 once a visible one exists, 1 after SECONDS (30)
//   manager_remote close CLASS [SECONDS]  closes every one and waits until they are gone
//   manager_remote startup PAIRS MANAGER REFERENCE
//                                     start-up times of both programs, alternating, and the
//                                     median and spread of their ratio
//   manager_remote page INDEX             shows page INDEX of the running manager
//   manager_remote text NAME              prints the text of a control of the running manager
//   manager_remote drive SECONDS          switches pages and applies settings of the running manager
//                                     every few seconds; exit 0 when no box appeared and the
//                                     agent key matches the last Apply
//   manager_remote record FILE TEXT       appends TEXT and a line break to FILE: a stand-in for the
//                                     program registered for a link's scheme
//   manager_remote restart SECONDS        ticks a Tweak box of the running manager, presses Apply and
//                                     answers the restart question with Yes
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineTest.h"

namespace {

using lumora::driver::App;

std::vector<HWND> Windows(const std::string& className, DWORD processId = 0)
{
    std::vector<HWND> found;
    lumora::driver::ForEachWindow(nullptr, [&](HWND window) {
        char name[256] = {};
        GetClassNameA(window, name, sizeof name);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (className == name && IsWindowVisible(window) && (processId == 0 || owner == processId)) {
            found.push_back(window);
        }
        return true;
    });
    return found;
}

std::string WindowText(HWND window)
{
    char text[256] = {};
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                             &ignored)) {
        return std::string();
    }
    return text;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// --- startup

// The value the manager's start-up must have loaded before it counts as started.
constexpr DWORD kStoredTarget = 123;
constexpr const char* kLoadedTarget = "123 MB";

// Milliseconds from asking for the process to the moment its window is visible and, for the
// manager, shows the stored settings; a negative figure when that never happened. The program
// is closed again before returning.
double TimeOneStart(const std::string& program, const char* className, bool waitForLoad)
{
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const double start = Now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        lumora::driver::kWorkFolder, &startup, &info)) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return -1;
    }
    // Polling the window list while the program starts competes with it for the Wine server;
    // its first wait for input comes once its window is up and its message loop runs.
    WaitForInputIdle(info.hProcess, 60000);
    double elapsed = -1;
    HWND window = nullptr;
    App app;
    HWND label = nullptr;
    while (Now() - start < 60000) {
        if (window == nullptr) {
            const auto found = Windows(className, info.dwProcessId);
            if (!found.empty()) {
                window = found.front();
                if (waitForLoad) app.Attach(window);
            }
        }
        if (window != nullptr) {
            if (!waitForLoad) {
                elapsed = Now() - start;
                break;
            }
            if (label == nullptr) label = app.Find("Label18");
            if (label != nullptr && WindowText(label) == kLoadedTarget) {
                elapsed = Now() - start;
                break;
            }
        }
        if (WaitForSingleObject(info.hProcess, 2) == WAIT_OBJECT_0) break;
    }
    if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return elapsed;
}

double Quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto low = static_cast<std::size_t>(at);
    const std::size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

int Startup(int pairs, const std::string& manager, const std::string& reference)
{
    // Start from the prepared machine with a target the load must bring in, so "loaded" is
    // visible in Label18 (its design caption also ends in " MB").
    lumora::driver::ResetMachine();
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, lumora::driver::kAgentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create the agent key\n");
        return 1;
    }
    RegSetValueExA(key, "Target Fre RAM", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kStoredTarget),
                   sizeof kStoredTarget);
    RegCloseKey(key);
    CreateDirectoryA("C:\\Program Files", nullptr);
    CreateDirectoryA(lumora::driver::kWorkFolder, nullptr);

    // One unmeasured start of each fills the caches that every later start finds full.
    TimeOneStart(manager, "TForm1", true);
    TimeOneStart(reference, "TReference", false);

    std::vector<double> managerMs;
    std::vector<double> referenceMs;
    std::vector<double> ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        double a = 0;
        double b = 0;
        // Each program goes first in every other pair, so neither gains from the order.
        if (pair % 2 == 0) {
            a = TimeOneStart(manager, "TForm1", true);
            Sleep(300);
            b = TimeOneStart(reference, "TReference", false);
        } else {
            b = TimeOneStart(reference, "TReference", false);
            Sleep(300);
            a = TimeOneStart(manager, "TForm1", true);
        }
        Sleep(300);
        if (a <= 0 || b <= 0) {
            std::printf("pair %d: failed (manager %.1f ms, reference %.1f ms)\n", pair + 1, a, b);
            return 1;
        }
        managerMs.push_back(a);
        referenceMs.push_back(b);
        ratios.push_back(a / b);
        std::printf("pair %2d: manager %7.1f ms  reference %7.1f ms  ratio %.3f\n", pair + 1, a, b, a / b);
        std::fflush(stdout);
    }
    std::printf("startup-manager-ms %.1f\n", Quantile(managerMs, 0.5));
    std::printf("startup-reference-ms %.1f\n", Quantile(referenceMs, 0.5));
    std::printf("startup-ratio median %.3f min %.3f q1 %.3f q3 %.3f max %.3f pairs %d\n", Quantile(ratios, 0.5),
                Quantile(ratios, 0), Quantile(ratios, 0.25), Quantile(ratios, 0.75), Quantile(ratios, 1), pairs);
    return 0;
}

// --- the running manager

// The running manager's main window; nullptr when none appears within timeoutMs.
HWND WaitForManager(DWORD timeoutMs)
{
    HWND window = nullptr;
    lumora::driver::WaitUntil(
        [&] {
            const auto found = Windows("TForm1");
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

bool AttachManager(App& app, DWORD timeoutMs = 30000)
{
    const HWND window = WaitForManager(timeoutMs);
    if (window == nullptr || !app.Attach(window)) {
        std::fprintf(stderr, "no manager window\n");
        return false;
    }
    return true;
}

int Page(int index)
{
    App app;
    if (!AttachManager(app)) return 1;
    app.SelectTab("PageControl1", index);
    return app.TabIndex("PageControl1") == index ? 0 : 1;
}

int Text(const std::string& name)
{
    App app;
    if (!AttachManager(app)) return 1;
    if (app.Find(name) == nullptr) return 1;
    std::printf("%s\n", app.Text(name).c_str());
    return 0;
}

// The settings controls of a page found among its windows: check boxes, sliders and spin edits.
enum class Kind { Box, Slider, Spin };
std::vector<std::pair<std::string, Kind>> SettingsControls(const App& app, const char* sheet)
{
    const HWND page = app.Control(sheet);
    std::vector<std::pair<std::string, Kind>> controls;
    for (const auto& [name, window] : app.Controls()) {
        if (!IsChild(page, window) || name.find('.') != std::string::npos) continue;
        const std::string windowClass = app.ClassOf(name);
        if (lstrcmpiA(windowClass.c_str(), "Button") == 0 &&
            (GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            controls.emplace_back(name, Kind::Box);
        } else if (windowClass == "LumoraSlider") {
            controls.emplace_back(name, Kind::Slider);
        } else if (app.Find(name + ".Arrows") != nullptr) {
            controls.emplace_back(name, Kind::Spin);
        }
    }
    return controls;
}

void TypeNumber(App& app, const std::string& spin, int value)
{
    app.Focus(spin);
    app.SelectAll(spin);
    app.Type(spin, std::to_string(value));
}

// Moves a control one step as its user would, or back.
void Step(App& app, const std::string& name, Kind kind, bool back)
{
    const int value = std::atoi(app.Text(name).c_str());
    switch (kind) {
    case Kind::Box: app.Click(name); break;
    case Kind::Slider:
        app.Focus(name);
        app.Key(name, back ? VK_RIGHT : VK_LEFT);
        break;
    case Kind::Spin: TypeNumber(app, name, back ? value + 1 : value - 1); break;
    }
}

// Presses Apply and waits until it is done (or a box came, which the caller answers).
void Apply(App& app)
{
    app.PostClick("Button2");
    lumora::driver::WaitUntil([&] { return !app.Enabled("Button2") || app.WaitForDialog("", 0) != nullptr; });
}

int AnswerBoxes(App& app, DWORD waitMs);

// Where a control of the RAM or Options page is stored: the agent value its change and an Apply
// changed, and that value's type (REG_DWORD: the box's state or the slider's position as a whole
// number; REG_BINARY: the number the control shows, as a double).
struct Binding {
    std::string control;
    Kind kind;
    std::string value;
    DWORD type;
};

// Learns every binding from the running manager: each control is stepped, applied, and stepped
// back; the one value that changed is its. unbound gets the controls that changed no value or
// several.
std::vector<Binding> LearnBindings(App& app, std::vector<std::string>& unbound, int& boxes)
{
    std::vector<std::pair<std::string, Kind>> controls = SettingsControls(app, "TabSheet1");
    for (const auto& control : SettingsControls(app, "TabSheet2")) controls.push_back(control);
    std::vector<Binding> bindings;
    if (controls.empty()) return bindings;
    // A first Apply writes every value, so that each later one changes only what moved.
    Step(app, controls.front().first, controls.front().second, false);
    Step(app, controls.front().first, controls.front().second, true);
    Apply(app);
    boxes += AnswerBoxes(app, 100);
    for (const auto& [name, kind] : controls) {
        if (!app.Enabled(name)) continue;
        const auto before = lumora::driver::KeyValues(HKEY_CURRENT_USER, lumora::driver::kAgentKey);
        Step(app, name, kind, false);
        Apply(app);
        boxes += AnswerBoxes(app, 100);
        const auto after = lumora::driver::KeyValues(HKEY_CURRENT_USER, lumora::driver::kAgentKey);
        std::vector<std::string> changed;
        for (const auto& [value, text] : after) {
            const auto was = before.find(value);
            if (was == before.end() || was->second != text) changed.push_back(value);
        }
        if (changed.size() == 1) {
            const std::string& text = after.at(changed.front());
            bindings.push_back(
                {name, kind, changed.front(), static_cast<DWORD>(std::stoul(text.substr(0, text.find(':'))))});
        } else {
            unbound.push_back(name + " (" + std::to_string(changed.size()) + " values changed)");
        }
        Step(app, name, kind, true);
        Apply(app);
        boxes += AnswerBoxes(app, 100);
    }
    return bindings;
}

// The agent values the last Apply must have stored, read from what the controls show.
std::map<std::string, std::string> ExpectedAgentValues(const App& app, const std::vector<Binding>& bindings)
{
    using lumora::winetest::DoubleBytes;
    using lumora::winetest::Le32;
    using lumora::winetest::ValueText;
    std::map<std::string, std::string> expected;
    for (const Binding& b : bindings) {
        const std::string text = app.Text(b.control);
        if (b.type == REG_DWORD) {
            const long whole = b.kind == Kind::Box ? (app.Checked(b.control) ? 1 : 0) : std::atol(text.c_str());
            expected[b.value] = ValueText(REG_DWORD, Le32(static_cast<std::uint32_t>(whole)));
        } else {
            expected[b.value] = ValueText(b.type, DoubleBytes(std::atof(text.c_str())));
        }
    }
    return expected;
}

// One round of changes on the RAM page, different from round to round.
void ChangeRamPage(App& app, int round)
{
    const char* const sliders[] = {"RxSlider1", "RxSlider2"};
    const char* slider = sliders[round % 2];
    app.Focus(slider);
    const int key = round % 5 == 0 ? VK_HOME : (round / 2) % 3 == 0 ? VK_LEFT : VK_RIGHT;
    for (int i = 0; i < 1 + round % 4; ++i) app.Key(slider, key);
    TypeNumber(app, "RxSpinEdit2", 1 + round % 60);
    TypeNumber(app, "RxSpinEdit3", 1 + (round * 7) % 90);
    if (app.Enabled("RxSpinEdit7")) TypeNumber(app, "RxSpinEdit7", 1 + (round * 13) % 100);
    if (round % 3 == 0) app.Click("CheckBox6");
    if (round % 7 == 6) app.Click("Button5");
}

// One or two of the Options page's boxes, others from round to round.
void ChangeOptionsPage(App& app, const std::vector<std::string>& boxes, int round)
{
    if (boxes.empty()) return;
    const std::size_t n = boxes.size();
    const auto at = static_cast<std::size_t>(round);
    app.Click(boxes[at % n]);
    if (round % 2 == 1) app.Click(boxes[(at + 2) % n]);
}

// Answers and counts every box the program shows; no step of the drive should bring one.
int AnswerBoxes(App& app, DWORD waitMs)
{
    int seen = 0;
    for (HWND box = app.WaitForDialog("", waitMs); box != nullptr; box = app.WaitForDialog("", 200)) {
        ++seen;
        std::printf("box: %s\n", app.DialogText(box).c_str());
        if (!app.Answer(box, IDOK) && !app.Answer(box, IDNO)) break;
    }
    return seen;
}

int Drive(int seconds)
{
    App app;
    if (!AttachManager(app)) return 1;
    const double end = Now() + seconds * 1000.0;
    std::map<std::string, std::string> expected;
    int boxes = 0;
    int applies = 0;
    int round = 0;
    // A page's controls get their windows when it is first shown, and the values expected after
    // an Apply are read from the RAM and Options pages: every page is shown once before the first.
    for (int page = 6; page >= 0; --page) app.SelectTab("PageControl1", page);
    std::vector<std::string> unbound;
    const std::vector<Binding> bindings = LearnBindings(app, unbound, boxes);
    std::vector<std::string> optionBoxes;
    for (const auto& [name, kind] : SettingsControls(app, "TabSheet2")) {
        if (kind == Kind::Box) optionBoxes.push_back(name);
    }
    for (int step = 0; Now() < end && app.Running(); ++step) {
        const int page = step % 7;
        app.SelectTab("PageControl1", page);
        if (page == 0) ChangeRamPage(app, round);
        if (page == 1) ChangeOptionsPage(app, optionBoxes, round++);
        if (app.Enabled("Button2")) {
            Apply(app);
            expected = ExpectedAgentValues(app, bindings);
            ++applies;
        }
        boxes += AnswerBoxes(app, 100);
        Sleep(1500);
    }
    if (!app.Running()) {
        std::printf("drive: the manager ended\n");
        return 1;
    }
    // The CPU label follows the last Apply from the next tick on.
    Sleep(1700);
    const std::string cpu = app.Text("Label48");
    const bool cpuOk = app.Checked("CheckBox6") ? cpu == "...%" : cpu != "...%";
    const auto stored = lumora::driver::KeyValues(HKEY_CURRENT_USER, lumora::driver::kAgentKey);
    int differing = 0;
    for (const auto& [name, value] : expected) {
        const auto found = stored.find(name);
        const std::string actual = found == stored.end() ? "missing" : found->second;
        if (actual != value) {
            ++differing;
            std::printf("registry %s: stored %s, applied %s\n", name.c_str(), actual.c_str(), value.c_str());
        }
    }
    for (const std::string& control : unbound)
        std::printf("drive: %s is stored in no agent value of its own\n", control.c_str());
    std::printf("drive-bindings %zu controls, %zu unbound\n", bindings.size(), unbound.size());
    std::printf("drive-rounds %d\n", round);
    std::printf("drive-applies %d\n", applies);
    std::printf("drive-boxes %d\n", boxes);
    std::printf("drive-registry %s (%zu values compared, %d differ)\n", differing == 0 ? "matches" : "differs",
                expected.size(), differing);
    std::printf("drive-cpu-label %s (%s)\n", cpuOk ? "ok" : "wrong", cpu.c_str());
    return boxes == 0 && differing == 0 && !expected.empty() && unbound.empty() && cpuOk ? 0 : 1;
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

// The descendant of window that is the control of this name; nullptr when none.
HWND NamedControl(HWND window, const std::string& name)
{
    HWND found = nullptr;
    lumora::driver::ForEachWindow(window, [&](HWND child) {
        if (lumora::driver::ControlName(child) == name) found = child;
        return found == nullptr;
    });
    return found;
}

// A visible dialog box of the process with this title; nullptr when none.
HWND ProcessDialog(DWORD processId, const std::string& title)
{
    HWND found = nullptr;
    lumora::driver::ForEachWindow(nullptr, [&](HWND window) {
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
    const HWND window = WaitForManager(timeoutMs);
    // The box's page gets its windows when it is first shown.
    App app;
    if (window != nullptr && app.Attach(window)) app.SelectTab("PageControl1", lumora::driver::kTweakPage);
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
    lumora::driver::WaitUntil([&] { return (question = ProcessDialog(processId, "Confirm")) != nullptr; }, timeoutMs);
    const HWND yes = question != nullptr ? GetDlgItem(question, IDYES) : nullptr;
    if (yes == nullptr) {
        std::fprintf(stderr, "no restart question with a Yes button\n");
        return 1;
    }
    // A message box's text is its static control 0xFFFF.
    char text[256] = {};
    if (const HWND label = GetDlgItem(question, 0xFFFF)) {
        SendMessageTimeoutA(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result);
    }
    std::printf("question: %s\n", text);
    std::printf("answering Yes\n");
    std::fflush(stdout);
    PostMessageA(yes, BM_CLICK, 0, 0);
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: manager_remote wait|close CLASS [SECONDS]\n"
                 "       manager_remote startup PAIRS MANAGER REFERENCE\n"
                 "       manager_remote page INDEX | text NAME | drive SECONDS\n"
                 "       manager_remote record FILE TEXT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    lumora::winetest::EndTestOnFatalFailureOrSkip();
    lumora::winetest::SeeWindowsInScreenPixels();
    try {
        if (command == "wait" || command == "close") {
            const std::string className = argv[2];
            const DWORD timeoutMs = static_cast<DWORD>(argc > 3 ? std::atoi(argv[3]) : 30) * 1000;
            if (command == "wait") {
                return lumora::driver::WaitUntil([&] { return !Windows(className).empty(); }, timeoutMs) ? 0 : 1;
            }
            for (const HWND window : Windows(className)) PostMessageA(window, WM_CLOSE, 0, 0);
            return lumora::driver::WaitUntil([&] { return Windows(className).empty(); }, timeoutMs) ? 0 : 1;
        }
        if (command == "startup" && argc == 5) return Startup(std::atoi(argv[2]), argv[3], argv[4]);
        if (command == "page") return Page(std::atoi(argv[2]));
        if (command == "text") return Text(argv[2]);
        if (command == "drive") return Drive(std::atoi(argv[2]));
        if (command == "record" && argc == 4) return Record(argv[2], argv[3]);
        if (command == "restart") return AnswerRestartYes(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
    } catch (...) {
        // The driver ends a failed step by throwing; its message is already printed.
        return 1;
    }
    return Usage();
}
