// The toolkit's window procedure against Wine's window manager: an error raised while the system
// makes one of the toolkit's windows.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>

#include "WineTest.h"
#include "ui/Controls.h"
#include "ui/ToolkitHost.h"
#include "win32/toolkit/NativeControl.h"
#include "win32/toolkit/Toolkit.h"

namespace {
// While set, every allocation of this program fails, as when the machine runs out of memory.
bool failAllocations = false;
int failedAllocations = 0;
}  // namespace

void* operator new(std::size_t size)
{
    if (failAllocations) {
        ++failedAllocations;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

namespace lumora::winetest {
namespace {

// A main window whose making runs out of memory inside the system's CreateWindowEx: at the
// toolkit's own bookkeeping for it (WM_NCCREATE).
class StarvedPeer : public win32::NativeControl {
public:
    using NativeControl::NativeControl;

protected:
    void CreateWindows(HWND parent) override
    {
        const std::string caption = "Starved";
        failedAllocations = 0;
        failAllocations = true;
        struct Restore {
            ~Restore() { failAllocations = false; }
        } restore;
        kit_.CreateWindowFor(*this, 0, win32::Toolkit::kFormClass, caption, WS_OVERLAPPED, 0, 0, 200, 100, parent);
    }
};

std::unique_ptr<win32::NativeControl> MakeStarved(win32::Toolkit& kit, TControl& model)
{
    return std::make_unique<StarvedPeer>(kit, model);
}

class Host : public ToolkitHost {
public:
    void Dispatch(const std::function<void()>& handler) override { handler(); }
    TTimer& Timer() override { return timer_; }
    bool StayOnTop() const override { return false; }
    void SetCloseRequest(std::function<void()>) override {}

private:
    TTimer timer_;
};

TEST(ToolkitWine, AnErrorWhileTheSystemMakesAWindowReachesTheCallerAndLeavesNoWindow)
{
    TControl form(ControlKind::Form, "TForm1", nullptr);
    form.SetBounds({0, 0, 200, 100});
    Host host;
    win32::Toolkit kit(GetModuleHandleA(nullptr), form, host, MakeStarved);
    // The program's entry shows the error of a failed Create and ends; the process lives to do so.
    EXPECT_THROW(kit.Create(), std::bad_alloc);
    EXPECT_GT(failedAllocations, 0);
    EXPECT_TRUE(kit.MainWindow() == nullptr);
    EXPECT_TRUE(FindWindowA(win32::Toolkit::kFormClass, nullptr) == nullptr);
}

}  // namespace
}  // namespace lumora::winetest
