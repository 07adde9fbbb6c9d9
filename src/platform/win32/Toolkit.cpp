// The native window layer: window classes, the tree of control windows, message routing, the
// keyboard order and the message loop.
#include "platform/win32/Toolkit.h"

#include <commctrl.h>

#include <cstring>

#include "platform/win32/ToolkitControls.h"
#include "ui/SliderGeometry.h"
#include "ui/TabOrder.h"

namespace lumora::win32 {

Toolkit* Toolkit::current_ = nullptr;

namespace {

// The system's hand pointer; Windows 95 and NT 4 lack it, so the program carries its own.
const char* const kSystemHand = MAKEINTRESOURCEA(32649);
const char* const kHandResource = "HANDCURSOR";
const char* const kIconResource = "LUMORA_ICON";
const char* const kWindowFace = "MS Sans Serif";
constexpr int kWindowFontHeight = -11;  // 8 points at 96 dots per inch

bool IsOwnClass(const char* className)
{
    return std::strcmp(className, Toolkit::kFormClass) == 0 || std::strcmp(className, Toolkit::kTabSheetClass) == 0 ||
           std::strcmp(className, Toolkit::kSliderClass) == 0;
}

HFONT MakeFont(const char* face, int height, bool bold, bool underline)
{
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

Toolkit::Toolkit(HINSTANCE instance, TForm1& form) : instance_(instance), form_(form)
{
    current_ = this;
    windowFont_ = MakeFont(kWindowFace, kWindowFontHeight, false, false);
}

Toolkit::~Toolkit()
{
    form_.Timer1.onStateChanged = nullptr;
    form_.onClose = nullptr;
    if (main_ && IsWindow(main_)) DestroyWindow(main_);
    for (auto& peer : peers_) peer->Model().AttachPeer(nullptr);
    for (ATOM atom : atoms_) GlobalDeleteAtom(atom);
    if (measureDc_) DeleteDC(measureDc_);
    for (auto& font : fonts_) DeleteObject(font.second);
    if (windowFont_) DeleteObject(windowFont_);
    if (current_ == this) current_ = nullptr;
}

void Toolkit::RegisterClasses()
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kFormClass;
    windowClass.hIcon = static_cast<HICON>(LoadImageA(instance_, kIconResource, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance_, kIconResource, IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        LR_SHARED));
    RegisterClassExA(&windowClass);

    windowClass.hIcon = nullptr;
    windowClass.hIconSm = nullptr;
    windowClass.lpszClassName = kTabSheetClass;
    RegisterClassExA(&windowClass);
    windowClass.lpszClassName = kSliderClass;
    RegisterClassExA(&windowClass);
}

HWND Toolkit::Create()
{
    RegisterClasses();
    Build(form_, nullptr);
    form_.Timer1.onStateChanged = [this] { SyncTimer(); };
    form_.onClose = [this] {
        if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    };
    SyncTimer();
    return main_;
}

void Toolkit::Build(TControl& model, HWND parent)
{
    auto created = MakePeer(*this, model);
    if (!created) return;
    NativeControl& peer = *created;
    peers_.push_back(std::move(created));
    byModel_[&model] = &peer;
    model.AttachPeer(&peer);
    peer.Create(parent);
    if (&model == &form_) main_ = peer.Window();
    if (!peer.Window()) return;
    Name(peer.Window(), model.Name());
    // A page gets its controls when it is first shown (its peer asks): most users look at one or
    // two pages, and every window costs start-up time and, on Windows 9x, room in the shared USER
    // heap.
    if (model.Kind() == ControlKind::TabSheet) return;
    BuildContents(model);
}

void Toolkit::BuildContents(TControl& container)
{
    NativeControl* peer = PeerOf(container);
    if (!peer || !peer->Window() || !built_.insert(&container).second) return;
    const HWND inner = peer->ChildParent();
    for (TControl* child : container.Children()) Build(*child, inner);
    ArrangeZOrder(container);
}

void Toolkit::ArrangeZOrder(TControl& container)
{
    if (container.Kind() == ControlKind::PageControl) return;  // one page shows at a time
    // As in the form designer: controls drawn on their parent lie under every windowed control,
    // and within each group a later control lies over an earlier one.
    std::vector<HWND> topFirst;
    const auto& children = container.Children();
    for (int graphic = 0; graphic < 2; ++graphic) {
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (IsGraphic((*it)->Kind()) != (graphic == 1)) continue;
            if (NativeControl* peer = PeerOf(**it)) peer->StackWindows(topFirst);
        }
    }
    // Moving a window is dear on every platform; most already lie where they belong.
    HWND after = HWND_TOP;
    for (HWND window : topFirst) {
        if (GetWindow(window, GW_HWNDPREV) != (after == HWND_TOP ? nullptr : after)) {
            SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        }
        after = window;
    }
}

HWND Toolkit::CreateWindowFor(NativeControl& peer, DWORD exStyle, const char* className, const std::string& text,
                              DWORD style, int x, int y, int width, int height, HWND parent)
{
    const bool ours = IsOwnClass(className);
    HMENU id = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)) : nullptr;
    HWND window = CreateWindowExA(exStyle, className, text.c_str(), style, x, y, width, height, parent, id, instance_,
                                  ours ? &peer : nullptr);
    if (!window) return nullptr;
    if (!ours) {
        const WNDPROC original = SubclassWindow(window, WindowProc);
        windows_[window] = {&peer, original};
    }
    peer.Attach(window);
    return window;
}

void Toolkit::AdoptWindow(NativeControl& peer, HWND window, const std::string& name)
{
    const WNDPROC original = SubclassWindow(window, WindowProc);
    windows_[window] = {&peer, original};
    Name(window, name);
}

void Toolkit::Name(HWND window, const std::string& name)
{
    const ATOM atom = GlobalAddAtomA(name.c_str());
    if (!atom) return;
    atoms_.push_back(atom);
    SetPropA(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

NativeControl* Toolkit::PeerOf(const TControl& model) const
{
    const auto found = byModel_.find(&model);
    return found == byModel_.end() ? nullptr : found->second;
}

NativeControl* Toolkit::PeerOfWindow(HWND window) const
{
    const auto found = windows_.find(window);
    return found == windows_.end() ? nullptr : found->second.peer;
}

HFONT Toolkit::FontFor(const FontSpec& wanted)
{
    if (wanted.name.empty() && wanted.height == kWindowFontHeight && !wanted.bold && !wanted.underline) return windowFont_;
    const std::string face = wanted.name.empty() ? std::string(kWindowFace) : wanted.name;
    const std::string key = face + "|" + std::to_string(wanted.height) + (wanted.bold ? "|b" : "|") +
                            (wanted.underline ? "u" : "");
    const auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    HFONT font = MakeFont(face.c_str(), wanted.height, wanted.bold, wanted.underline);
    if (!font) return windowFont_;
    fonts_[key] = font;
    return font;
}

HDC Toolkit::MeasureDc()
{
    if (!measureDc_) measureDc_ = CreateCompatibleDC(nullptr);
    return measureDc_;
}

HCURSOR Toolkit::HandCursor()
{
    if (!handLooked_) {
        handLooked_ = true;
        handCursor_ = LoadCursorA(nullptr, kSystemHand);
        if (!handCursor_) handCursor_ = LoadCursorA(instance_, kHandResource);
    }
    return handCursor_;
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
    default:
        return false;
    }
}

LRESULT CALLBACK Toolkit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Toolkit* kit = current_;
    if (!kit) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (auto* peer = static_cast<NativeControl*>(create->lpCreateParams)) {
            kit->windows_[window] = {peer, nullptr};
            peer->Attach(window);
        }
    }
    // No exception may cross into the system's code; the handlers' own errors were already
    // shown at the dispatch boundary.
    try {
        return kit->Route(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT Toolkit::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = windows_.find(window);
    if (found == windows_.end()) return DefWindowProcA(window, message, wParam, lParam);
    const WindowEntry entry = found->second;
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kNameProperty);
        const LRESULT result = entry.original ? CallWindowProcA(entry.original, window, message, wParam, lParam)
                                              : DefWindowProcA(window, message, wParam, lParam);
        entry.peer->Forget(window);
        windows_.erase(window);
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
    SetWindowPos(main_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    const auto sequence = TabSequence(form_);
    if (const TControl* next = NextInTabSequence(sequence, current, backwards)) {
        if (NativeControl* peer = PeerOf(*next)) peer->FocusByKeyboard();
    }
}

void Toolkit::FocusFirst()
{
    const auto sequence = TabSequence(form_);
    NativeControl* peer = sequence.empty() ? nullptr : PeerOf(*sequence.front());
    if (peer) {
        peer->FocusByKeyboard();
    } else if (main_) {
        SetFocus(main_);
    }
}

void Toolkit::SwitchPage(bool backwards)
{
    for (TControl* child : form_.Children()) {
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
    const TTimer& timer = form_.Timer1;
    if (timer.Enabled() && timer.Interval() > 0) {
        SetTimer(main_, FormPeer::kTimerId, static_cast<UINT>(timer.Interval()), nullptr);
    } else {
        KillTimer(main_, FormPeer::kTimerId);
    }
}

}  // namespace lumora::win32
