// The control peers: native windows of every control kind and their link to the models.
#include "platform/win32/ToolkitControls.h"

#include "core/Numbers.h"
#include "form/TForm1.h"
#include "platform/win32/Toolkit.h"

namespace lumora::win32 {

namespace {

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// True when the text changed.
bool SetWindowTextIfDifferent(HWND window, const std::string& text)
{
    if (WindowText(window) == text) return false;
    SetWindowTextA(window, text.c_str());
    return true;
}

DWORD TabStop(const TControl& model) { return model.tabOrder >= 0 ? WS_TABSTOP : 0; }

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// The part of a drop-down box that the list takes when it opens.
constexpr int kDropDownHeight = 160;

// TCM_SETMINTABWIDTH, which the headers hide below comctl32 4.71.
constexpr UINT kSetMinTabWidth = TCM_FIRST + 49;

// Where the pages' area starts below the top of the page control with the tab row of
// Windows 9x's "MS Sans Serif" 8 pt. The pages' places assume it: the "Automatic" buttons (page
// top 344) stand in one row with Apply and Cancel (window top 368).
constexpr int kPageAreaTop = 24;

}  // namespace

// ---------------------------------------------------------------------------------------------
// NativeControl

void NativeControl::Create(HWND parent)
{
    const Bounds& bounds = model_.GetBounds();
    autoSize_ = SizesToContent() && (bounds.width == 0 || bounds.height == 0);
    CreateWindows(parent);
    if (!hwnd_) return;
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    SyncAll();
}

void NativeControl::changed(TControl&, Property property)
{
    if (property == Property::Bounds && !writingBack_) {
        // Bounds set by the program decide again whether the content gives the size.
        const Bounds& bounds = model_.GetBounds();
        autoSize_ = SizesToContent() && (bounds.width == 0 || bounds.height == 0);
    }
    if (hwnd_) Sync(property);
}

void NativeControl::SyncAll()
{
    Sync(Property::Caption);
    Sync(Property::Enabled);
    Sync(Property::Visible);
    Sync(Property::Bounds);
}

void NativeControl::Sync(Property property)
{
    switch (property) {
    case Property::Caption:
        SetWindowTextIfDifferent(hwnd_, model_.Caption());
        break;
    case Property::Enabled:
        EnableWindow(hwnd_, model_.Enabled());
        break;
    case Property::Visible:
        ShowWindow(hwnd_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case Property::Bounds:
        if (!writingBack_) ApplyBounds();
        break;
    default:
        break;
    }
}

void NativeControl::ApplyBounds()
{
    const Bounds bounds = model_.GetBounds();
    int width = bounds.width;
    int height = bounds.height;
    if (autoSize_) {
        const SIZE size = ContentSize();
        width = size.cx;
        height = size.cy;
    }
    // Moving a window to where it already is still costs a round of position messages (and on
    // Wine a server call): labels are placed at creation and keep their size for most captions.
    RECT now;
    GetWindowRect(hwnd_, &now);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&now), 2);
    if (now.left != bounds.left || now.top != bounds.top || now.right - now.left != width ||
        now.bottom - now.top != height) {
        SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (autoSize_ && (width != bounds.width || height != bounds.height)) {
        // The model learns the measured size, so that it forwards moves with the right offsets.
        writingBack_ = true;
        model_.SetBounds({bounds.left, bounds.top, width, height});
        writingBack_ = false;
    }
}

HFONT NativeControl::Font() const { return kit_.FontFor(model_.font); }

bool NativeControl::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE: {
        POINT point{PointerX(lParam), PointerY(lParam)};
        if (window != hwnd_ && hwnd_) MapWindowPoints(window, hwnd_, &point, 1);
        kit_.Dispatch([this, point] { model_.MouseMove(point.x, point.y); });
        return false;  // the window's own handling still runs
    }
    case WM_SETCURSOR:
        if (model_.handCursor && LOWORD(static_cast<DWORD>(lParam)) == HTCLIENT) {
            if (HCURSOR hand = kit_.HandCursor()) {
                SetCursor(hand);
                result = TRUE;
                return true;
            }
        }
        return false;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return IsContainer() && kit_.Reflect(message, wParam, lParam, result);
    default:
        return false;
    }
}

bool NativeControl::TrackClicks(HWND window, UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        SetCapture(window);
        return true;
    case WM_LBUTTONUP: {
        if (!pressed_) return false;
        pressed_ = false;
        ReleaseCapture();
        RECT client;
        GetClientRect(window, &client);
        const POINT point{PointerX(lParam), PointerY(lParam)};
        if (PtInRect(&client, point)) kit_.Dispatch([this] { model_.Click(); });
        return true;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return false;
    default:
        return false;
    }
}

void NativeControl::FocusByKeyboard()
{
    if (HWND focus = FocusWindow()) SetFocus(focus);
}

// ---------------------------------------------------------------------------------------------
// The main window

void FormPeer::CreateWindows(HWND)
{
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const Bounds& bounds = model_.GetBounds();
    RECT frame{0, 0, bounds.width, bounds.height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    hwnd_ = kit_.CreateWindowFor(*this, 0, Toolkit::kFormClass, model_.Caption(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr);
}

void FormPeer::Sync(Property property)
{
    switch (property) {
    case Property::Visible:
        break;  // shown once, by the toolkit, after start-up
    case Property::Bounds: {
        const Bounds& bounds = model_.GetBounds();
        const DWORD style = static_cast<DWORD>(GetWindowData(hwnd_, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowData(hwnd_, GWL_EXSTYLE));
        RECT frame{0, 0, bounds.width, bounds.height};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case Property::Style: {
        const bool onTop = static_cast<TForm1&>(model_).StayOnTop();
        SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    }
    default:
        NativeControl::Sync(property);
    }
}

bool FormPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerId) {
            TForm1& form = kit_.Form();
            if (form.Timer1.Enabled() && form.Timer1.OnTimer) kit_.Dispatch([&form] { form.Timer1.OnTimer(); });
            result = 0;
            return true;
        }
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            return false;
        }
        if (HIWORD(wParam)) return false;  // activated while minimised
        if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
            SetFocus(lastFocus_);
        } else {
            kit_.FocusFirst();
        }
        result = 0;
        return true;
    case WM_DESTROY:
        PostQuitMessage(0);
        return false;
    default:
        return NativeControl::OnMessage(window, message, wParam, lParam, result);
    }
}

// ---------------------------------------------------------------------------------------------
// Page control and pages

void PageControlPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, WC_TABCONTROLA, "", kChild | WS_CLIPCHILDREN | TabStop(model_), b.left,
                                 b.top, b.width, b.height, parent);
}

void PageControlPeer::SyncAll()
{
    // Tabs as wide as their captions, so that all seven fit in one row. The first comctl32 of
    // Windows 95 knows no minimum width and ignores the message.
    SendMessageA(hwnd_, kSetMinTabWidth, 0, 0);
    SendMessageA(hwnd_, TCM_DELETEALLITEMS, 0, 0);
    const auto& pages = Pages().Pages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::string caption = pages[i]->Caption();
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageA(hwnd_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    // Wine's tab row is a few pixels shorter than Windows' and would lift every page against the
    // buttons below it; a taller row (large fonts) is left as it is.
    RECT first{};
    const int shortBy = kPageAreaTop - static_cast<int>(DisplayRect().top);
    if (shortBy > 0 && SendMessageA(hwnd_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) {
        SendMessageA(hwnd_, TCM_SETITEMSIZE, 0, MAKELPARAM(0, first.bottom - first.top + shortBy));
    }
    NativeControl::SyncAll();
    Sync(Property::Selection);
}

void PageControlPeer::Sync(Property property)
{
    if (property == Property::Selection) {
        SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(Pages().ActivePageIndex()), 0);
        ShowActivePage();
        return;
    }
    if (property == Property::Caption) return;
    NativeControl::Sync(property);
}

RECT PageControlPeer::DisplayRect() const
{
    RECT area{0, 0, 0, 0};
    if (!hwnd_) return area;
    GetClientRect(hwnd_, &area);
    SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

void PageControlPeer::ShowActivePage()
{
    for (TTabSheet* page : Pages().Pages()) {
        if (ControlPeer* peer = page->Peer()) peer->changed(*page, Property::Visible);
    }
    // The focus must not stay behind on a page that was just hidden.
    HWND focus = GetFocus();
    if (focus && IsChild(kit_.MainWindow(), focus) && !IsWindowVisible(focus)) SetFocus(hwnd_);
}

bool PageControlPeer::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.hwndFrom != hwnd_ || header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
    const int index = static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
    kit_.Dispatch([this, index] { Pages().UserSelect(index); });
    Sync(Property::Selection);
    result = 0;
    return true;
}

int TabSheetPeer::Index() const
{
    const TControl* parent = model_.Parent();
    if (!parent || parent->Kind() != ControlKind::PageControl) return -1;
    const auto& pages = static_cast<const TPageControl*>(parent)->Pages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (pages[i] == &model_) return static_cast<int>(i);
    }
    return -1;
}

bool TabSheetPeer::Shown() const
{
    const TControl* parent = model_.Parent();
    return model_.Visible() && parent && parent->Kind() == ControlKind::PageControl &&
           static_cast<const TPageControl*>(parent)->ActivePageIndex() == Index();
}

void TabSheetPeer::CreateWindows(HWND parent)
{
    hwnd_ = kit_.CreateWindowFor(*this, 0, Toolkit::kTabSheetClass, model_.Caption(),
                                 WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent);
}

void TabSheetPeer::Place()
{
    // A page control's peer is always a PageControlPeer (MakePeer).
    const TControl* parent = model_.Parent();
    if (!parent || parent->Kind() != ControlKind::PageControl || !parent->Peer()) return;
    const auto* control = static_cast<const PageControlPeer*>(parent->Peer());
    const RECT area = control->DisplayRect();
    const Bounds bounds{area.left, area.top, area.right - area.left, area.bottom - area.top};
    SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.width, bounds.height, SWP_NOZORDER | SWP_NOACTIVATE);
    const Bounds& old = model_.GetBounds();
    if (old.left != bounds.left || old.top != bounds.top || old.width != bounds.width || old.height != bounds.height) {
        writingBack_ = true;
        model_.SetBounds(bounds);
        writingBack_ = false;
    }
}

void TabSheetPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption: {
        SetWindowTextIfDifferent(hwnd_, model_.Caption());
        const int index = Index();
        if (index < 0) break;
        std::string caption = model_.Caption();
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageA(GetParent(hwnd_), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        break;
    }
    case Property::Visible: {
        const bool shown = Shown();
        if (shown) kit_.BuildContents(model_);
        ShowWindow(hwnd_, shown ? SW_SHOWNA : SW_HIDE);
        break;
    }
    case Property::Bounds:
        if (!writingBack_) Place();
        break;
    default:
        NativeControl::Sync(property);
    }
}

// ---------------------------------------------------------------------------------------------
// Buttons, check boxes, group boxes

void ButtonPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", model_.Caption(), kChild | BS_PUSHBUTTON | TabStop(model_),
                                 b.left, b.top, b.width, b.height, parent);
}

bool ButtonPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_ || code != BN_CLICKED) return false;
    kit_.Dispatch([this] { model_.Click(); });
    return true;
}

void CheckBoxPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", model_.Caption(), kChild | BS_AUTOCHECKBOX | TabStop(model_),
                                 b.left, b.top, b.width, b.height, parent);
}

void CheckBoxPeer::SyncAll()
{
    NativeControl::SyncAll();
    Sync(Property::Checked);
}

void CheckBoxPeer::Sync(Property property)
{
    if (property == Property::Checked) {
        const bool checked = static_cast<TCheckBox&>(model_).Checked();
        SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    NativeControl::Sync(property);
}

bool CheckBoxPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_ || code != BN_CLICKED) return false;
    kit_.Dispatch([this] { model_.Click(); });
    // The box toggled itself; the model has the last word.
    Sync(Property::Checked);
    return true;
}

HBRUSH CheckBoxPeer::OnControlColor(HDC dc, HWND)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    if (model_.font.color != kColorDefault) SetTextColor(dc, ResolveColor(model_.font.color, COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void GroupBoxPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    // Clipping its children keeps a repaint of the frame from wiping out a label that grew.
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", model_.Caption(), kChild | WS_CLIPCHILDREN | BS_GROUPBOX, b.left,
                                 b.top, b.width, b.height, parent);
}

bool GroupBoxPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_NCHITTEST:
        // A group box lets the pointer through to what lies beneath; ours stop it, so that
        // moves over the box reach the box and not the page under it.
        result = HTCLIENT;
        return true;
    case WM_ERASEBKGND: {
        // The box may lie over another control's area (the Description box over the pages).
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        result = 1;
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        result = 0;  // a frame takes neither clicks nor the focus
        return true;
    default:
        return NativeControl::OnMessage(window, message, wParam, lParam, result);
    }
}

HBRUSH GroupBoxPeer::OnControlColor(HDC dc, HWND)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// ---------------------------------------------------------------------------------------------
// Labels and pictures

void LabelPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    // Created at the size of its caption, so that placing it moves nothing.
    const SIZE size = autoSize_ ? ContentSize() : SIZE{b.width, b.height};
    hwnd_ = kit_.CreateWindowFor(*this, 0, "STATIC", model_.Caption(), kChild | SS_OWNERDRAW | SS_NOTIFY, b.left,
                                 b.top, size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1, parent);
}

UINT LabelPeer::TextFormat() const
{
    return DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | (autoSize_ ? 0u : static_cast<UINT>(DT_WORDBREAK));
}

SIZE LabelPeer::ContentSize()
{
    // An empty caption keeps the height of one line, as the designer's labels do.
    const std::string text = model_.Caption().empty() ? std::string(" ") : model_.Caption();
    RECT area{0, 0, 0, 0};
    HDC dc = kit_.MeasureDc();
    Selection font(dc, Font());
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, TextFormat() | DT_CALCRECT);
    const int shadow = HasShadow() ? 1 : 0;
    return {area.right - area.left + shadow, area.bottom - area.top + shadow};
}

void LabelPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption:
        // A new window already holds its caption: it is measured once, when it is placed.
        if (!SetWindowTextIfDifferent(hwnd_, model_.Caption())) break;
        if (autoSize_) ApplyBounds();
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case Property::Enabled:
        NativeControl::Sync(property);
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    default:
        NativeControl::Sync(property);
    }
}

bool LabelPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_ERASEBKGND) {
        result = 1;  // the drawing covers everything
        return true;
    }
    if (TrackClicks(window, message, lParam)) {
        result = 0;
        return true;
    }
    return NativeControl::OnMessage(window, message, wParam, lParam, result);
}

bool LabelPeer::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != hwnd_) return false;
    RECT area;
    GetClientRect(hwnd_, &area);
    BufferedCanvas canvas(item.hDC, area);
    HDC dc = canvas.Dc();
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    Selection font(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    const std::string& text = model_.Caption();
    const int length = static_cast<int>(text.size());
    const UINT format = TextFormat();
    RECT textArea = area;
    if (HasShadow()) {
        // The shadow lies one pixel left of and one below the text, under it.
        RECT shadow = area;
        shadow.top += 1;
        textArea.left += 1;
        SetTextColor(dc, ResolveColor(model_.shadowColor, COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), length, &shadow, format);
    }
    if (model_.Enabled()) {
        SetTextColor(dc, ResolveColor(model_.font.color, COLOR_WINDOWTEXT));
    } else {
        RECT embossed = textArea;
        OffsetRect(&embossed, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), length, &embossed, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    }
    DrawTextA(dc, text.c_str(), length, &textArea, format);
    return true;
}

void ImagePeer::CreateWindows(HWND parent)
{
    picture_ = Picture::Load(kit_.Instance(), static_cast<TImage&>(model_).resource);
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "STATIC", "", kChild | SS_OWNERDRAW | SS_NOTIFY, b.left, b.top,
                                 b.width > 0 ? b.width : 1, b.height > 0 ? b.height : 1, parent);
}

SIZE ImagePeer::ContentSize()
{
    if (!picture_) return {0, 0};
    return picture_->Size();
}

bool ImagePeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (TrackClicks(window, message, lParam)) {
        result = 0;
        return true;
    }
    return NativeControl::OnMessage(window, message, wParam, lParam, result);
}

bool ImagePeer::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != hwnd_) return false;
    RECT area;
    GetClientRect(hwnd_, &area);
    BufferedCanvas canvas(item.hDC, area);
    FillRect(canvas.Dc(), &area, GetSysColorBrush(COLOR_BTNFACE));
    if (picture_) picture_->Draw(canvas.Dc(), 0, 0);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The picture button

void SpeedButtonPeer::CreateWindows(HWND parent)
{
    const std::string& resource = static_cast<TSpeedButton&>(model_).resource;
    if (!resource.empty()) glyphs_.Reset(LoadBitmapA(kit_.Instance(), resource.c_str()));
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", "", kChild | BS_OWNERDRAW, b.left, b.top, b.width, b.height,
                                 parent);
}

void SpeedButtonPeer::SetHot(bool hot)
{
    if (hot == hot_ || !hwnd_) return;
    hot_ = hot;
    // Windows 95 has no leave notification: a short poll notices the pointer leaving.
    if (hot_) {
        SetTimer(hwnd_, kHoverTimer, 100, nullptr);
    } else {
        KillTimer(hwnd_, kHoverTimer);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void SpeedButtonPeer::Sync(Property property)
{
    NativeControl::Sync(property);
    if (property == Property::Enabled) {
        if (!model_.Enabled()) SetHot(false);
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

bool SpeedButtonPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE:
        SetHot(true);
        break;
    case WM_TIMER:
        if (wParam == kHoverTimer) {
            POINT point;
            GetCursorPos(&point);
            if (WindowFromPoint(point) != hwnd_) SetHot(false);
            result = 0;
            return true;
        }
        break;
    case WM_SETFOCUS: {
        // A picture button is no focus stop: the focus goes back where it came from.
        HWND previous = reinterpret_cast<HWND>(wParam);
        if (previous && IsWindow(previous) && IsChild(kit_.MainWindow(), previous)) {
            SetFocus(previous);
            result = 0;
            return true;
        }
        break;
    }
    case WM_ERASEBKGND:
        result = 1;
        return true;
    default:
        break;
    }
    return NativeControl::OnMessage(window, message, wParam, lParam, result);
}

bool SpeedButtonPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_ || (code != BN_CLICKED && code != BN_DOUBLECLICKED)) return false;
    kit_.Dispatch([this] { model_.Click(); });
    return true;
}

bool SpeedButtonPeer::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != hwnd_) return false;
    RECT area = item.rcItem;
    BufferedCanvas canvas(item.hDC, area);
    HDC dc = canvas.Dc();
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed) {
        DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot_ && !disabled) {
        DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
    }
    if (glyphs_) {
        BITMAP info{};
        GetObjectA(glyphs_.Get(), sizeof info, &info);
        const int cell = info.bmHeight;
        const int cells = cell > 0 ? info.bmWidth / cell : 0;
        const int index = disabled && cells > 1 ? 1 : 0;
        const int shift = pressed ? 1 : 0;
        const int x = area.left + (area.right - area.left - cell) / 2 + shift;
        const int y = area.top + (area.bottom - area.top - cell) / 2 + shift;
        if (cells > 0) DrawGlyph(dc, glyphs_.Get(), index * cell, cell, cell, x, y);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Edit boxes

void EditPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    const DWORD readOnly = static_cast<TEdit&>(model_).readOnly ? ES_READONLY : 0;
    hwnd_ = kit_.CreateWindowFor(*this, WS_EX_CLIENTEDGE, "EDIT", model_.Caption(),
                                 kChild | ES_LEFT | ES_AUTOHSCROLL | readOnly | TabStop(model_), b.left, b.top, b.width,
                                 b.height, parent);
}

HBRUSH EditPeer::OnControlColor(HDC dc, HWND)
{
    // A read-only box keeps the window colour, like an editable one, greyed or not.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(model_.Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

void EditPeer::FocusByKeyboard()
{
    SetFocus(hwnd_);
    SendMessageA(hwnd_, EM_SETSEL, 0, -1);
}

void SpinEditPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    // Any text may be typed: the model reads what is not a whole number as its minimum.
    hwnd_ = kit_.CreateWindowFor(*this, WS_EX_CLIENTEDGE, "EDIT", model_.Caption(),
                                 kChild | ES_LEFT | ES_AUTOHSCROLL | TabStop(model_), b.left, b.top, b.width, b.height,
                                 parent);
    if (!hwnd_) return;
    arrows_ = CreateWindowExA(0, UPDOWN_CLASSA, "", kChild, 0, 0, kArrowsWidth, b.height, parent, nullptr,
                              kit_.Instance(), nullptr);
    if (arrows_) {
        kit_.AdoptWindow(*this, arrows_, model_.Name() + ".Arrows");
        // No arithmetic of the arrows' own: they only ask us to step. The buddy makes a click on
        // them put the focus into the edit box.
        SendMessageA(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
        SendMessageA(arrows_, UDM_SETRANGE, 0, MAKELPARAM(100, 0));
        SendMessageA(arrows_, UDM_SETPOS, 0, MAKELPARAM(50, 0));
    }
    SendMessageA(hwnd_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, kArrowsWidth));
}

void SpinEditPeer::StackWindows(std::vector<HWND>& topFirst) const
{
    if (arrows_) topFirst.push_back(arrows_);
    if (hwnd_) topFirst.push_back(hwnd_);
}

void SpinEditPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption:
        if (WindowText(hwnd_) != model_.Caption()) {
            echo_ = true;
            SetWindowTextA(hwnd_, model_.Caption().c_str());
            echo_ = false;
        }
        break;
    case Property::Enabled:
        EnableWindow(hwnd_, model_.Enabled());
        if (arrows_) EnableWindow(arrows_, model_.Enabled());
        break;
    case Property::Visible:
        ShowWindow(hwnd_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
        if (arrows_) ShowWindow(arrows_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case Property::Bounds: {
        const Bounds& b = model_.GetBounds();
        SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (arrows_) {
            // The arrows sit inside the box's sunken border, as one control.
            const int edge = GetSystemMetrics(SM_CXEDGE);
            SetWindowPos(arrows_, nullptr, b.left + b.width - edge - kArrowsWidth, b.top + edge, kArrowsWidth,
                         b.height - 2 * edge, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;
    }
    default:
        break;
    }
}

void SpinEditPeer::Step(bool up)
{
    kit_.Dispatch([this, up] { Spin().Step(up); });
    SendMessageA(hwnd_, EM_SETSEL, 0, -1);
}

bool SpinEditPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (window == hwnd_ && message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        Step(wParam == VK_UP);
        result = 0;
        return true;
    }
    return NativeControl::OnMessage(window, message, wParam, lParam, result);
}

bool SpinEditPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_) return false;
    switch (code) {
    case EN_CHANGE:
        if (!echo_) {
            const std::string text = WindowText(hwnd_);
            kit_.Dispatch([this, &text] { Spin().SetText(text); });
        }
        return true;
    case EN_KILLFOCUS:
        kit_.Dispatch([this] { Spin().FocusLost(); });
        return true;
    default:
        return false;
    }
}

bool SpinEditPeer::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.hwndFrom != arrows_ || header.code != static_cast<UINT>(UDN_DELTAPOS)) return false;
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    if (change.iDelta != 0) Step(change.iDelta > 0);
    result = 1;  // the arrows keep their own position: the model holds the value
    return true;
}

void SpinEditPeer::FocusByKeyboard()
{
    SetFocus(hwnd_);
    SendMessageA(hwnd_, EM_SETSEL, 0, -1);
}

// ---------------------------------------------------------------------------------------------
// Drop-down boxes and bars

void ComboBoxPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "COMBOBOX", "",
                                 kChild | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | TabStop(model_), b.left, b.top,
                                 b.width, kDropDownHeight, parent);
    if (!hwnd_) return;
    if (HWND edit = GetWindow(hwnd_, GW_CHILD)) kit_.AdoptWindow(*this, edit, model_.Name() + ".Edit");
}

std::string ComboBoxPeer::NativeText() const { return WindowText(hwnd_); }

void ComboBoxPeer::SyncAll()
{
    Sync(Property::Enabled);
    Sync(Property::Visible);
    Sync(Property::Bounds);
    Sync(Property::Items);
    Sync(Property::Text);
}

void ComboBoxPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption:
        break;
    case Property::Bounds: {
        const Bounds& b = model_.GetBounds();
        SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, kDropDownHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case Property::Items:
        echo_ = true;
        SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : Combo().Items()) {
            SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        echo_ = false;
        Sync(Property::Selection);
        break;
    case Property::Selection:
        echo_ = true;
        SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(Combo().ItemIndex()), 0);
        if (Combo().ItemIndex() < 0 && NativeText() != Combo().Text()) SetWindowTextA(hwnd_, Combo().Text().c_str());
        echo_ = false;
        break;
    case Property::Text:
        if (NativeText() != Combo().Text()) {
            echo_ = true;
            if (Combo().ItemIndex() >= 0) {
                SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(Combo().ItemIndex()), 0);
            } else {
                SetWindowTextA(hwnd_, Combo().Text().c_str());
            }
            echo_ = false;
        }
        break;
    default:
        NativeControl::Sync(property);
    }
}

bool ComboBoxPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_) return false;
    switch (code) {
    case CBN_SELCHANGE: {
        const int index = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
        if (index >= 0) kit_.Dispatch([this, index] { Combo().UserSelect(index); });
        return true;
    }
    case CBN_EDITCHANGE:
        if (!echo_) {
            const std::string text = NativeText();
            kit_.Dispatch([this, &text] { Combo().UserType(text); });
        }
        return true;
    default:
        return false;
    }
}

void ComboBoxPeer::FocusByKeyboard()
{
    SetFocus(hwnd_);
    SendMessageA(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void ProgressBarPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, PROGRESS_CLASSA, "", kChild, b.left, b.top, b.width, b.height, parent);
}

void ProgressBarPeer::SyncAll()
{
    NativeControl::SyncAll();
    Sync(Property::Range);
    Sync(Property::Position);
}

void ProgressBarPeer::Sync(Property property)
{
    const auto& bar = static_cast<TProgressBar&>(model_);
    switch (property) {
    case Property::Caption:
        break;
    case Property::Range:
        SendMessageA(hwnd_, PBM_SETRANGE, 0, MAKELPARAM(bar.Min(), bar.Max()));
        break;
    case Property::Position:
        SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
        break;
    default:
        NativeControl::Sync(property);
    }
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<NativeControl> MakePeer(Toolkit& kit, TControl& model)
{
    switch (model.Kind()) {
    case ControlKind::Form: return std::make_unique<FormPeer>(kit, model);
    case ControlKind::PageControl: return std::make_unique<PageControlPeer>(kit, model);
    case ControlKind::TabSheet: return std::make_unique<TabSheetPeer>(kit, model);
    case ControlKind::Button: return std::make_unique<ButtonPeer>(kit, model);
    case ControlKind::Label: return std::make_unique<LabelPeer>(kit, model);
    case ControlKind::GroupBox: return std::make_unique<GroupBoxPeer>(kit, model);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxPeer>(kit, model);
    case ControlKind::Slider: return std::make_unique<SliderPeer>(kit, model);
    case ControlKind::SpinEdit: return std::make_unique<SpinEditPeer>(kit, model);
    case ControlKind::ComboBox: return std::make_unique<ComboBoxPeer>(kit, model);
    case ControlKind::ProgressBar: return std::make_unique<ProgressBarPeer>(kit, model);
    case ControlKind::Edit: return std::make_unique<EditPeer>(kit, model);
    case ControlKind::Image: return std::make_unique<ImagePeer>(kit, model);
    case ControlKind::SpeedButton: return std::make_unique<SpeedButtonPeer>(kit, model);
    }
    return nullptr;
}

}  // namespace lumora::win32
