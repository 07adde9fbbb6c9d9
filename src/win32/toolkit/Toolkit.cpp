// The native window layer: window classes, the tree of control windows, message routing, the
// keyboard order and the message loop.
#include "win32/toolkit/Toolkit.h"

#include <commctrl.h>

#include <cstring>
#include <exception>
#include <utility>

#include "ui/SliderGeometry.h"
#include "ui/TabOrder.h"
#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

namespace {

const char* const kIconResource = "LUMORA_ICON";

bool IsOwnClass(const char* className)
{
    return std::strcmp(className, Toolkit::kFormClass) == 0 || std::strcmp(className, Toolkit::kTabSheetClass) == 0 ||
           std::strcmp(className, Toolkit::kSliderClass) == 0;
}

// The screen's logical pixels per inch, held against the room the window has: "Large Fonts" on
// Windows 9x is 120, and a custom size can be larger than the work area allows. 0 when the screen
// has no device context to ask.
DisplayScale ChooseScale(const TControl& root)
{
    int screenDpi = 0;
    if (HDC screen = GetDC(nullptr)) {
        screenDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    WindowFit fit;
    fit.clientWidth = root.GetBounds().width;
    fit.clientHeight = root.GetBounds().height;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, Toolkit::kFormStyle, FALSE, 0);
    fit.frameWidth = frame.right - frame.left;
    fit.frameHeight = frame.bottom - frame.top;
    RECT work{0, 0, 0, 0};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        fit.workWidth = work.right - work.left;
        fit.workHeight = work.bottom - work.top;
    }
    return DisplayScale(LayoutDpi(screenDpi, fit));
}

}  // namespace

Toolkit::Toolkit(HINSTANCE instance, TControl& root, ToolkitHost& host, PeerFactory makePeer)
    : instance_(instance),
      makePeer_(makePeer),
      scale_(ChooseScale(root)),
      root_(root),
      host_(host),
      resources_(instance, scale_)
{
}

Toolkit::~Toolkit()
{
    host_.Timer().onStateChanged = nullptr;
    host_.SetCloseRequest(nullptr);
    if (main_ && IsWindow(main_)) DestroyWindow(main_);
    for (auto& peer : peers_) peer->Model().AttachPeer(nullptr);
}

HWND Toolkit::Create()
{
    classes_.Register(instance_, WindowProc, kIconResource, kFormClass, {kTabSheetClass, kSliderClass});
    Build(root_, nullptr);
    host_.Timer().onStateChanged = [this] { SyncTimer(); };
    host_.SetCloseRequest([this] {
        if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    });
    SyncTimer();
    return main_;
}

void Toolkit::Build(TControl& model, HWND parent)
{
    auto created = makePeer_(*this, model);
    if (!created) return;
    NativeControl& peer = *created;
    peers_.push_back(std::move(created));
    model.AttachPeer(&peer);
    // A page gets its window, and its controls theirs, when it is first shown (its peer asks):
    // most users look at one or two pages, and every window costs start-up time and, on
    // Windows 9x, room in the shared USER heap.
    if (peer.Defer(parent)) return;
    Realize(peer, parent);
}

void Toolkit::Realize(NativeControl& peer, HWND parent)
{
    peer.Create(parent);
    if (&peer.Model() == &root_) main_ = peer.Window();
    if (!peer.Window()) return;
    // A shown page has built its controls while its window was brought up to date.
    if (peer.Model().Kind() == ControlKind::TabSheet) return;
    BuildContents(peer.Model());
}

void Toolkit::BuildContents(TControl& container)
{
    NativeControl* peer = PeerOf(container);
    if (!peer || !peer->Window() || !peer->MarkContentsBuilt()) return;
    const HWND inner = peer->ChildParent();
    // Windows (and Wine) put a new child window below its siblings: created top first, in the
    // order the form designer stacks them, the windows lie where they belong without being moved
    // or asked where they lie, which costs a server call each under Wine.
    for (TControl* child : StackingOrder(container)) Build(*child, inner);
}

std::vector<TControl*> Toolkit::StackingOrder(TControl& container)
{
    const auto& children = container.Children();
    if (container.Kind() == ControlKind::PageControl) return children;  // one page shows at a time
    // As in the form designer: controls drawn on their parent lie under every windowed control,
    // and within each group a later control lies over an earlier one.
    std::vector<TControl*> topFirst;
    topFirst.reserve(children.size());
    for (int graphic = 0; graphic < 2; ++graphic) {
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (IsGraphic((*it)->Kind()) == (graphic == 1)) topFirst.push_back(*it);
        }
    }
    return topFirst;
}

HWND Toolkit::CreateWindowFor(NativeControl& peer, DWORD exStyle, const char* className, const std::string& text,
                              DWORD style, int x, int y, int width, int height, HWND parent)
{
    const bool ours = IsOwnClass(className);
    // A child's ID is its control's: drivers find the control by it. A top-level window's
    // "ID" would be taken as its menu.
    HMENU id = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(peer.Model().id)) : nullptr;
    HWND window = CreateWindowExA(exStyle, className, text.c_str(), style, x, y, width, height, parent, id, instance_,
                                  ours ? &peer : nullptr);
    if (!window) {
        if (creationError_) std::rethrow_exception(std::exchange(creationError_, nullptr));
        return nullptr;
    }
    if (!ours) Enter(window, peer, SubclassWindow(window, WindowProc));
    peer.Attach(window);
    return window;
}

void Toolkit::AdoptWindow(NativeControl& peer, HWND window)
{
    Enter(window, peer, SubclassWindow(window, WindowProc));
}

void Toolkit::Enter(HWND window, NativeControl& peer, WNDPROC original)
{
    entries_.push_back(std::make_unique<WindowEntry>(WindowEntry{&peer, original}));
    SetWindowData(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(entries_.back().get()));
}

Toolkit::WindowEntry* Toolkit::EntryOf(HWND window)
{
    // Only a window whose messages come here carries an entry: the user data of any other
    // window (a dialog's, another program's) belongs to someone else.
    if (!window || GetWindowData(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WindowProc)) return nullptr;
    return reinterpret_cast<WindowEntry*>(GetWindowData(window, GWLP_USERDATA));
}

NativeControl* Toolkit::PeerOf(const TControl& model)
{
    // The toolkit attaches the only peers of a shown window's models.
    return static_cast<NativeControl*>(model.Peer());
}

NativeControl* Toolkit::PeerOfWindow(HWND window)
{
    const WindowEntry* entry = EntryOf(window);
    return entry ? entry->peer : nullptr;
}

bool Toolkit::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_COMMAND: {
        HWND from = reinterpret_cast<HWND>(lParam);
        NativeControl* peer = from ? PeerOfWindow(from) : nullptr;
        if (!peer || !peer->OnCommand(from, HIWORD(wParam))) return false;
        result = 0;
        return true;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        NativeControl* peer = header ? PeerOfWindow(header->hwndFrom) : nullptr;
        return peer && peer->OnNotify(*header, result);
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        NativeControl* peer = item ? PeerOfWindow(item->hwndItem) : nullptr;
        if (!peer || !peer->OnDrawItem(*item)) return false;
        result = TRUE;
        return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        HWND from = reinterpret_cast<HWND>(lParam);
        NativeControl* peer = PeerOfWindow(from);
        HBRUSH brush = peer ? peer->OnControlColor(reinterpret_cast<HDC>(wParam), from) : nullptr;
        if (!brush) return false;
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    default: return false;
    }
}

LRESULT CALLBACK Toolkit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may cross into the system's code; the handlers' own errors were already
    // shown at the dispatch boundary.
    try {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            if (auto* peer = static_cast<NativeControl*>(create->lpCreateParams)) {
                peer->Kit().Enter(window, *peer, nullptr);
                peer->Attach(window);
            }
        }
        return Route(window, message, wParam, lParam);
    } catch (...) {
        // FALSE to WM_NCCREATE: the window is not made, and CreateWindowFor raises the error
        // again once the system's frames are behind it.
        if (message == WM_NCCREATE) creationError_ = std::current_exception();
        return 0;
    }
}

LRESULT Toolkit::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Messages that come before WM_NCCREATE find no entry yet.
    const WindowEntry* found = reinterpret_cast<const WindowEntry*>(GetWindowData(window, GWLP_USERDATA));
    if (!found) return DefWindowProcA(window, message, wParam, lParam);
    const WindowEntry entry = *found;
    if (message == WM_NCDESTROY) {
        SetWindowData(window, GWLP_USERDATA, 0);
        const LRESULT result = entry.original ? CallWindowProcA(entry.original, window, message, wParam, lParam)
                                              : DefWindowProcA(window, message, wParam, lParam);
        entry.peer->Forget(window);
        return result;
    }
    LRESULT result = 0;
    if (entry.peer->OnMessage(window, message, wParam, lParam, result)) return result;
    return entry.original ? CallWindowProcA(entry.original, window, message, wParam, lParam)
                          : DefWindowProcA(window, message, wParam, lParam);
}

void Toolkit::Show(int showCommand)
{
    if (!main_) return;
    RECT frame;
    GetWindowRect(main_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // It was created there unless its size changed since.
    if (frame.left != x || frame.top != y) {
        SetWindowPos(main_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(main_, showCommand);
    UpdateWindow(main_);
}

int Toolkit::Run()
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Toolkit::TranslateKeys(const MSG& message)
{
    if (!main_ || (message.hwnd != main_ && !IsChild(main_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
        const bool backwards = GetKeyState(VK_SHIFT) < 0;
        if (GetKeyState(VK_CONTROL) < 0) {
            SwitchPage(backwards);
        } else {
            MoveFocus(backwards);
        }
        return true;
    }
    // Neither button is bound to Enter or Escape; the boxes should not beep at them either.
    if (message.message == WM_CHAR && (message.wParam == '\r' || message.wParam == VK_ESCAPE)) return true;
    return false;
}

void Toolkit::MoveFocus(bool backwards)
{
    const TControl* current = nullptr;
    if (NativeControl* focused = PeerOfWindow(GetFocus())) current = &focused->Model();
    const auto sequence = TabSequence(root_);
    if (const TControl* next = NextInTabSequence(sequence, current, backwards)) {
        if (NativeControl* peer = PeerOf(*next)) peer->FocusByKeyboard();
    }
}

void Toolkit::FocusFirst()
{
    const auto sequence = TabSequence(root_);
    NativeControl* peer = sequence.empty() ? nullptr : PeerOf(*sequence.front());
    if (peer) {
        peer->FocusByKeyboard();
    } else if (main_) {
        SetFocus(main_);
    }
}

void Toolkit::SwitchPage(bool backwards)
{
    for (TControl* child : root_.Children()) {
        if (child->Kind() != ControlKind::PageControl) continue;
        auto& pages = static_cast<TPageControl&>(*child);
        const int count = static_cast<int>(pages.Pages().size());
        if (count == 0) return;
        const int index = (pages.ActivePageIndex() + (backwards ? count - 1 : 1)) % count;
        Dispatch([&pages, index] { pages.UserSelect(index); });
        if (NativeControl* peer = PeerOf(pages)) peer->FocusByKeyboard();
        return;
    }
}

void Toolkit::SyncTimer()
{
    if (!main_) return;
    const TTimer& timer = host_.Timer();
    if (timer.Enabled() && timer.Interval() > 0) {
        SetTimer(main_, kTimerId, static_cast<UINT>(timer.Interval()), nullptr);
    } else {
        KillTimer(main_, kTimerId);
    }
}

}  // namespace lumora::win32
