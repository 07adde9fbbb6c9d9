// The window under "Large Fonts" and custom font sizes: the prefix's logical DPI is set before
// each start (where Windows keeps it, the user's setting and the hardware profile's), and the
// window is measured from outside. Every place scales from the 96-dpi design; nothing may leave
// the client area, run into a neighbour it does not touch at 96 dpi, or lose its text.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "E2eDriver.h"
#include "WineTest.h"
#include "common/DescriptionTexts.h"
#include "ui/DisplayScale.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;
using namespace testing::descriptions;

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kProfileFontsKey = "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";

constexpr const char* kVideoKey = "HARDWARE\\DEVICEMAP\\VIDEO";
constexpr const char* kVideoSourcePrefix = "\\Device\\Video";
constexpr const char* kMachineRoot = "\\Registry\\Machine\\";
constexpr const char* kCurrentProfile = "System\\CurrentControlSet\\Hardware Profiles\\Current\\";

// Makes the next process that starts list the displays anew, at the logical DPI it starts with.
// Wine 10 keeps a listing of the displays in volatile keys: VIDEO's "\Device\VideoN" values name
// the sources, and each source's key in the current hardware profile holds its monitor's DPI
// ("Dpi"), the system DPI of the process that listed it. The desktop process lists them when the
// session starts and again on every mode change; any other process reads that listing, and its
// monitor's DPI with it, rather than LogPixels. A program started after LogPixels changed would
// so take the new DPI on a monitor of the old one, and Wine would show its window scaled to the
// monitor's DPI (at 120 dpi on a 96-dpi monitor, at its 96-dpi size). Without the source names a
// process finds no listing and makes its own, which the running processes then read too. Wine 8
// keeps no DPI there and leaves the listing to the desktop process: nothing is removed there.
void RelistDisplays()
{
    HKEY video = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVideoKey, 0, KEY_ALL_ACCESS, &video) != ERROR_SUCCESS) return;
    std::vector<std::string> sources;
    bool keepsDpi = false;
    for (DWORD i = 0;; ++i) {
        char name[256] = {};
        char path[1024] = {};
        DWORD nameSize = sizeof name, pathSize = sizeof path - 1, type = 0;
        if (RegEnumValueA(video, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(path), &pathSize) !=
            ERROR_SUCCESS) {
            break;
        }
        if (type != REG_SZ || std::strncmp(name, kVideoSourcePrefix, std::strlen(kVideoSourcePrefix)) != 0) continue;
        sources.push_back(name);
        const std::size_t root = std::strlen(kMachineRoot);
        HKEY source = nullptr;
        if (_strnicmp(path, kMachineRoot, root) == 0 &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kCurrentProfile + std::string(path + root)).c_str(), 0, KEY_QUERY_VALUE,
                          &source) == ERROR_SUCCESS) {
            keepsDpi = keepsDpi || RegQueryValueExA(source, "Dpi", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
            RegCloseKey(source);
        }
    }
    if (keepsDpi) {
        for (const std::string& name : sources) RegDeleteValueA(video, name.c_str());
    }
    RegCloseKey(video);
}

// The logical DPI of programs started while it lives, on a monitor of that DPI; the prefix's own
// is back afterwards.
class LogicalDpi {
public:
    explicit LogicalDpi(DWORD dpi)
    {
        for (const auto& [root, path] : Keys()) {
            HKEY key = nullptr;
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            // The listener ends the whole test on a fatal failure, also from here.
            [&] { ASSERT_TRUE(key != nullptr); }();
            DWORD old = 0, size = sizeof old, type = 0;
            const bool had = RegQueryValueExA(key, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old), &size) ==
                             ERROR_SUCCESS;
            saved_.push_back({had, old});
            RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
            RegCloseKey(key);
        }
        RelistDisplays();
    }
    ~LogicalDpi()
    {
        std::size_t i = 0;
        for (const auto& [root, path] : Keys()) {
            // A constructor that stopped early saved fewer keys than there are.
            if (i >= saved_.size()) break;
            const auto& [had, old] = saved_[i++];
            HKEY key = nullptr;
            if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
            if (had) {
                RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old), sizeof old);
            } else {
                RegDeleteValueA(key, "LogPixels");
            }
            RegCloseKey(key);
        }
        RelistDisplays();
    }
    LogicalDpi(const LogicalDpi&) = delete;
    LogicalDpi& operator=(const LogicalDpi&) = delete;

private:
    static std::vector<std::pair<HKEY, const char*>> Keys()
    {
        return {{HKEY_CURRENT_USER, kDesktopKey}, {HKEY_LOCAL_MACHINE, kProfileFontsKey}};
    }
    std::vector<std::pair<bool, DWORD>> saved_;
};

int Scaled(int design, int dpi)
{
    return MulDivRounded(design, dpi, kDesignDpi);
}

std::string ShowRect(const RECT& r)
{
    return Show(r.left) + "," + Show(r.top) + " " + Show(r.right - r.left) + "x" + Show(r.bottom - r.top);
}

// A control's place in the main window's client area.
RECT InClient(const App& app, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, app.Window(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT both{};
    return IntersectRect(&both, &a, &b) != FALSE;
}

// The controls a page shows, with their places in the client area.
std::map<std::string, RECT> ShownControls(const App& app)
{
    std::map<std::string, RECT> shown;
    for (const auto& [name, window] : app.Controls()) {
        if (IsWindowVisible(window)) shown[name] = InClient(app, window);
    }
    return shown;
}

std::set<std::pair<std::string, std::string>> Overlaps(const std::map<std::string, RECT>& shown)
{
    std::set<std::pair<std::string, std::string>> pairs;
    for (auto a = shown.begin(); a != shown.end(); ++a) {
        for (auto b = std::next(a); b != shown.end(); ++b) {
            if (Overlap(a->second, b->second)) pairs.insert({a->first, b->first});
        }
    }
    return pairs;
}

// Every page shown once, as the user would, with what each shows.
std::vector<std::map<std::string, RECT>> EveryPage(App& app)
{
    std::vector<std::map<std::string, RECT>> pages;
    for (int page = 0; page < kPageCount; ++page) {
        app.SelectTab("PageControl1", page);
        pages.push_back(ShownControls(app));
    }
    return pages;
}

TEST(LargeFontsE2e, LargeFontsScaleTheWindowAndAddNoOverlapTheDesignLacks)
{
    std::vector<std::set<std::pair<std::string, std::string>>> designOverlaps;
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE(Show(dpi) + " dpi");
        const LogicalDpi logical(static_cast<DWORD>(dpi));
        App app;
        driver::Launch(app);
        const RECT client = app.ClientRect();
        EXPECT_EQ(ShowRect(client), "0,0 " + Show(Scaled(404, dpi)) + "x" + Show(Scaled(412, dpi)));
        EXPECT_EQ(ShowRect(app.Bounds("Button2")),
                  ShowRect({Scaled(232, dpi), Scaled(368, dpi), Scaled(307, dpi), Scaled(393, dpi)}));
        const auto pages = EveryPage(app);
        for (int page = 0; page < kPageCount; ++page) {
            SCOPED_TRACE("page " + Show(page));
            const auto& shown = pages[static_cast<std::size_t>(page)];
            EXPECT_GT(shown.size(), std::size_t{4});
            for (const auto& [name, rect] : shown) {
                SCOPED_TRACE(name + " at " + ShowRect(rect));
                RECT inside{};
                IntersectRect(&inside, &rect, &client);
                EXPECT_TRUE(EqualRect(&inside, &rect));
            }
            const auto overlaps = Overlaps(shown);
            if (dpi == 96) {
                designOverlaps.push_back(overlaps);
                continue;
            }
            for (const auto& pair : overlaps) {
                SCOPED_TRACE(pair.first + " and " + pair.second);
                EXPECT_TRUE(designOverlaps[static_cast<std::size_t>(page)].count(pair) == 1);
            }
        }
    }
}

TEST(LargeFontsE2e, LargeFontsKeepTheSevenTabsInOneRow)
{
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE(Show(dpi) + " dpi");
        const LogicalDpi logical(static_cast<DWORD>(dpi));
        App app;
        driver::Launch(app);
        const HWND tabs = app.Control("PageControl1");
        RECT client{};
        GetClientRect(tabs, &client);
        EXPECT_EQ(app.Send("PageControl1", TCM_GETROWCOUNT, 0, 0), LRESULT{1});
        const HWND arrows = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
        EXPECT_FALSE(arrows != nullptr && IsWindowVisible(arrows));
        const std::vector<RECT> rects = app.TabRects("PageControl1");
        EXPECT_EQ(rects.size(), std::size_t{kPageCount});
        LONG left = 0;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            SCOPED_TRACE("tab " + Show(i) + " at " + ShowRect(rects[i]));
            EXPECT_LE(left, rects[i].left);
            EXPECT_LE(rects[i].right, client.right);
            left = rects[i].right;
        }
        // The "Automatic" buttons still stand in one row with Apply.
        app.SelectTab("PageControl1", kDiskCachePage);
        EXPECT_EQ(InClient(app, app.Control("Button4")).top, InClient(app, app.Control("Button2")).top);
    }
}

const char* SheetOf(int page)
{
    static const char* const sheets[] = {"TabSheet1", "TabSheet2", "TabSheet4", "TabSheet7",
                                         "TabSheet8", "TabSheet5", "TabSheet3"};
    return sheets[page];
}

// A control on each settings page that describes its setting.
const char* DescriberOf(int page)
{
    static const char* const describers[] = {"CheckBox6", "CheckBox7", "RxSlider4", "RxSlider6", "CheckBox9"};
    return describers[page];
}

bool Shows(const App& app, const Lines& entry)
{
    return app.Text("Label8") == entry.line1 && app.Text("Label9") == entry.line2;
}

// Short value labels ("0 MB") beside the RAM page's sliders, so that bare page lies right of them.
void SlidersHome(App& app)
{
    for (const char* slider : {"RxSlider1", "RxSlider2"}) {
        app.Focus(slider);
        app.Key(slider, VK_HOME);
    }
}

// A point of a control's client area in its page's client area.
POINT OnPage(const App& app, int page, const char* control, int x, int y)
{
    POINT point{x, y};
    MapWindowPoints(app.Control(control), app.Control(SheetOf(page)), &point, 1);
    return point;
}

// The hover table's spots, each a point of a control at 96 dpi: at every DPI the pointer at the
// scaled place on the page must describe what it describes at 96. The RAM page's bands are
// pointed at on their first and last lines and just outside them.
TEST(LargeFontsE2e, LargeFontsHoverTableHitsTheSameControlsAtTheScaledPoints)
{
    struct Spot {
        int page;
        const char* control;
        int x, y;  // in the control's client area at 96 dpi
        Lines entry;
    };
    const Spot spots[] = {
        {kRamPage, "RxSlider1", 20, 10, kTargetSliderText},
        {kRamPage, "TabSheet1", 340, 38, kTargetRowText},
        {kRamPage, "TabSheet1", 340, 33, kTargetRowText},
        {kRamPage, "TabSheet1", 340, 32, kEmpty},
        {kRamPage, "TabSheet1", 340, 44, kTargetRowText},
        {kRamPage, "TabSheet1", 340, 45, kEmpty},
        {kRamPage, "TabSheet1", 384, 38, kTargetRowText},
        {kRamPage, "TabSheet1", 340, 73, kMinimumRowText},
        {kRamPage, "TabSheet1", 385, 78, kEmpty},
        {kRamPage, "RxSlider2", 200, 20, kMinimumRowText},
        {kRamPage, "CheckBox6", 40, 8, kCpuDetectionText},
        {kRamPage, "CPUFree", 268, 5, kCpuRowText},
        {kRamPage, "RxSpinEdit7.Arrows", 4, 4, kCpuLimitText},
        {kRamPage, "TimeFree", 92, 5, kTimedFreeUpText},
        {kRamPage, "PopMenu", 187, 5, kMenuFreeUpsText},
        {kRamPage, "RxSpinEdit4.Arrows", 4, 4, kMenuFreeUpsText},
        {kRamPage, "TabSheet1", 4, 150, kEmpty},
        {kOptionsPage, "CheckBox3", 40, 8, kTrayIconText},
        {kOptionsPage, "CheckBox5", 4, 8, kClearClipboardText},
        {kOptionsPage, "TabSheet2", 4, 150, kEmpty},
        {kDiskCachePage, "RxSlider3", 5, 10, kMinimumCacheText},
        {kDiskCachePage, "RxSlider5", 100, 30, kChunkSizeText},
        {kDiskCachePage, "TabSheet4", 4, 150, kEmpty},
        {kFileCachePage, "RxSlider7", 100, 10, kDirectoryCacheText},
        {kTweakPage, "CheckBox10", 40, 8, kConservativeSwapText},
        {kTweakPage, "TabSheet8", 4, 150, kEmpty},
    };
    std::vector<POINT> design;
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE(Show(dpi) + " dpi");
        const LogicalDpi logical(static_cast<DWORD>(dpi));
        App app;
        SetCursorPos(0, 0);
        driver::Launch(app);
        SlidersHome(app);
        int page = -1;
        for (std::size_t i = 0; i < std::size(spots); ++i) {
            const Spot& spot = spots[i];
            SCOPED_TRACE(std::string(spot.control) + " at " + Show(spot.x) + "," + Show(spot.y));
            if (spot.page != page) {
                page = spot.page;
                app.SelectTab("PageControl1", page);
            }
            if (dpi == 96) design.push_back(OnPage(app, page, spot.control, spot.x, spot.y));
            const POINT at{Scaled(design[i].x, dpi), Scaled(design[i].y, dpi)};
            // Something else first, so that the move has to change the box: a described control
            // before bare page, bare page before a described control.
            if (std::string(spot.entry.line1).empty()) {
                const HWND describer = app.Control(DescriberOf(page));
                RECT middle{};
                GetClientRect(describer, &middle);
                app.Pointer(DescriberOf(page), middle.right / 2, middle.bottom / 2);
                driver::WaitUntil([&] { return !Shows(app, kEmpty); }, 2000);
            } else {
                app.Pointer(SheetOf(page), Scaled(4, dpi), Scaled(150, dpi));
                driver::WaitUntil([&] { return Shows(app, kEmpty); }, 2000);
            }
            app.Pointer(SheetOf(page), at.x, at.y);
            driver::WaitUntil([&] { return Shows(app, spot.entry); }, 2000);
            EXPECT_EQ(app.Text("Label8"), std::string(spot.entry.line1));
            EXPECT_EQ(app.Text("Label9"), std::string(spot.entry.line2));
        }
    }
}

TEST(LargeFontsE2e, LargeFontsSliderClicksAndDragsFollowTheScaledThumb)
{
    for (const int dpi : {120, 144}) {
        SCOPED_TRACE(Show(dpi) + " dpi");
        const LogicalDpi logical(static_cast<DWORD>(dpi));
        App app;
        driver::Launch(app);
        app.SelectTab("PageControl1", kFileCachePage);
        const int y = Scaled(12, dpi);
        app.Focus("RxSlider6");  // 0 to 12, step 2
        app.Key("RxSlider6", VK_HOME);
        const RECT track = app.Bounds("RxSlider6");
        EXPECT_EQ(track.right - track.left, Scaled(385, dpi) - Scaled(8, dpi));
        app.ClickAt("RxSlider6", track.right - track.left - Scaled(7, dpi), y);  // right of the thumb
        EXPECT_EQ(app.Text("RxSlider6"), std::string("2"));
        app.ClickAt("RxSlider6", Scaled(1, dpi), y);  // left of it
        EXPECT_EQ(app.Text("RxSlider6"), std::string("0"));

        app.Focus("RxSlider7");  // 0 to 16, step 2
        app.Key("RxSlider7", VK_HOME);
        const int width = track.right - track.left;
        // With the real pointer and button, as a user drags (see App::PressButton).
        app.Pointer("RxSlider7", Scaled(6, dpi), y);  // on the thumb at 0
        app.PressButton();
        app.Pointer("RxSlider7", width / 2, y);
        EXPECT_EQ(app.Text("RxSlider7"), std::string("8"));
        app.Pointer("RxSlider7", width + Scaled(100, dpi), y);
        EXPECT_EQ(app.Text("RxSlider7"), std::string("16"));
        app.ReleaseButton();
        EXPECT_EQ(app.Text("Label5"), std::string("128"));
    }
}

// A screen below the design's DPI draws at the design's size; one whose window would not fit the
// work area draws at the largest DPI that fits.
TEST(LargeFontsE2e, LargeFontsBelowTheDesignOrBeyondTheScreenStayOnIt)
{
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    for (const int dpi : {72, 288}) {
        SCOPED_TRACE(Show(dpi) + " dpi on a work area of " + ShowRect(work));
        const LogicalDpi logical(static_cast<DWORD>(dpi));
        App app;
        driver::Launch(app);
        const RECT client = app.ClientRect();
        RECT frame{};
        GetWindowRect(app.Window(), &frame);
        std::printf("    client %s, window %s\n", ShowRect(client).c_str(), ShowRect(frame).c_str());
        if (dpi < kDesignDpi) {
            EXPECT_EQ(ShowRect(client), std::string("0,0 404x412"));
            continue;
        }
        // The DPI it took: the one whose scaled client area it has.
        int taken = 0;
        for (int d = kDesignDpi; d <= dpi; ++d) {
            if (Scaled(404, d) == client.right && Scaled(412, d) == client.bottom) taken = d;
        }
        ASSERT_TRUE(taken > 144);
        const int frameWidth = (frame.right - frame.left) - client.right;
        const int frameHeight = (frame.bottom - frame.top) - client.bottom;
        EXPECT_LE(frame.right - frame.left, work.right - work.left);
        EXPECT_LE(frame.bottom - frame.top, work.bottom - work.top);
        EXPECT_TRUE(Scaled(404, taken + 1) + frameWidth > work.right - work.left ||
                    Scaled(412, taken + 1) + frameHeight > work.bottom - work.top);
        EXPECT_EQ(app.Send("PageControl1", TCM_GETROWCOUNT, 0, 0), LRESULT{1});
        for (const auto& [name, rect] : ShownControls(app)) {
            SCOPED_TRACE(name + " at " + ShowRect(rect));
            EXPECT_LE(rect.right, client.right);
            EXPECT_LE(rect.bottom, client.bottom);
        }
    }
}

// The lines of a caption, each without the blanks that pad it under the row's other controls.
std::vector<std::string> VisibleLines(const std::string& caption)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= caption.size()) {
        const std::size_t end = std::min(caption.find('\n', start), caption.size());
        std::string line = caption.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

struct TextSize {
    int width = 0;   // of the widest line
    int height = 0;  // of all lines
};

// The fonts of the labels that do not draw in the window's 8-point "MS Sans Serif", as the
// layout gives them at 96 dpi. Another process's font cannot be asked for its description.
struct LabelFont {
    const char* label;
    const char* face;
    int height;
    bool bold, underline;
};
constexpr LabelFont kLabelFonts[] = {
    {"RxLabel1", "Verdana", -27, false, false}, {"RxLabel2", "Verdana", -19, false, false},
    {"Label1", "Verdana", -11, false, false},   {"Label53", "Verdana", -11, false, true},
    {"Label50", nullptr, -11, true, false},     {"Label51", nullptr, -11, true, false},
    {"Label2", nullptr, -11, false, true},      {"Label13", nullptr, -11, false, true},
};

// The caption measured with the control's font at dpi, as the program draws it.
TextSize Measure(const std::string& name, const std::string& caption, int dpi)
{
    TextSize size;
    LabelFont drawn{nullptr, nullptr, -11, false, false};
    for (const LabelFont& font : kLabelFonts) {
        if (name == font.label) drawn = font;
    }
    HFONT same = CreateFontA(DisplayScale(dpi).FontHeight(drawn.height), 0, 0, 0, drawn.bold ? FW_BOLD : FW_NORMAL,
                             FALSE, drawn.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, drawn.face ? drawn.face : "MS Sans Serif");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, same);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    for (const std::string& line : VisibleLines(caption)) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        size.width = std::max(size.width, static_cast<int>(extent.cx));
        size.height += metrics.tmHeight;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(same);
    return size;
}

// Every label's text, and every check box's beside its box, fits the control and lies under no
// other control: the font grows with the DPI, the places grow with it.
TEST(LargeFontsE2e, LargeFontsLeaveEveryTextRoomInItsControl)
{
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE(Show(dpi) + " dpi");
        const LogicalDpi logical(static_cast<DWORD>(dpi));
        App app;
        driver::Launch(app);
        int measured = 0;
        for (int page = 0; page < kPageCount; ++page) {
            SCOPED_TRACE("page " + Show(page));
            app.SelectTab("PageControl1", page);
            const auto controls = app.Controls();
            const auto shown = ShownControls(app);
            for (const auto& [name, rect] : shown) {
                const HWND window = controls.at(name);
                const std::string kind = app.ClassOf(name);
                const bool label = kind == "Static";
                if (!label && !(kind == "Button" && (GetWindowLongA(window, GWL_STYLE) & 0xF) == BS_AUTOCHECKBOX)) {
                    continue;
                }
                const std::string caption = app.Text(name);
                const TextSize text = Measure(name, caption, dpi);
                if (VisibleLines(caption).front().empty()) continue;
                ++measured;
                SCOPED_TRACE(name + " \"" + caption.substr(0, caption.find_last_not_of(' ') + 1) + "\" at " +
                             ShowRect(rect) + ", text " + Show(text.width) + "x" + Show(text.height));
                // A check box's text starts right of its box and the gap after it.
                const int room = (rect.right - rect.left) - (label ? 0 : Scaled(17, dpi));
                EXPECT_LE(text.width, room);
                EXPECT_LE(text.height, rect.bottom - rect.top);
                if (!label) continue;
                // What lies over the label hides its text: a windowed neighbour may cover only blanks.
                const RECT ink{rect.left, rect.top, rect.left + text.width, rect.bottom};
                for (const auto& [other, place] : shown) {
                    const HWND otherWindow = controls.at(other);
                    if (GetParent(otherWindow) != GetParent(window) || app.ClassOf(other) == "Static") continue;
                    SCOPED_TRACE("under " + other + " at " + ShowRect(place));
                    EXPECT_FALSE(Overlap(ink, place));
                }
            }
        }
        // Every page's labels and boxes were looked at.
        EXPECT_GT(measured, 40);
    }
}

}  // namespace
}  // namespace lumora::winetest
