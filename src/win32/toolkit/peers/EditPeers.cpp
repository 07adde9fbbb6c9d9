// Edit boxes, spin edits and drop-down boxes: typed text handed to the models.
#include "win32/toolkit/peers/EditPeers.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

namespace {

// The part of a drop-down box that the list takes when it opens.
constexpr int kDropDownHeight = 160;

// Entered by the Tab key, a box has its whole text selected.
void FocusAndSelectAll(HWND edit)
{
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

}  // namespace

void EditPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
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
    FocusAndSelectAll(hwnd_);
}

void SpinEditPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    // The arrows lie over the box: created first, they are above it (a new child window goes
    // below its siblings).
    const RECT place = ArrowsPlace();
    arrows_ = CreateWindowExA(
        0, UPDOWN_CLASSA, "", kChild, place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(PartId(model_.id))), kit_.Instance(), nullptr);
    // Any text may be typed: the model reads what is not a whole number as its minimum.
    hwnd_ = kit_.CreateWindowFor(*this, WS_EX_CLIENTEDGE, "EDIT", model_.Caption(),
                                 kChild | ES_LEFT | ES_AUTOHSCROLL | TabStop(model_), b.left, b.top, b.width, b.height,
                                 parent);
    if (!hwnd_) {
        if (arrows_) DestroyWindow(arrows_);
        arrows_ = nullptr;
        return;
    }
    if (arrows_) {
        kit_.AdoptWindow(*this, arrows_);
        // No arithmetic of the arrows' own: they only ask us to step. The buddy makes a click on
        // them put the focus into the edit box.
        SendMessageA(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
        SendMessageA(arrows_, UDM_SETRANGE, 0, MAKELPARAM(100, 0));
        SendMessageA(arrows_, UDM_SETPOS, 0, MAKELPARAM(50, 0));
    }
    SendMessageA(hwnd_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, Scaled(kArrowsWidth)));
}

RECT SpinEditPeer::ArrowsPlace() const
{
    // The arrows sit inside the box's sunken border, as one control.
    const Bounds b = ScreenBounds();
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const int width = Scaled(kArrowsWidth);
    const int left = b.left + b.width - edge - width;
    return RECT{left, b.top + edge, left + width, b.top + b.height - edge};
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
        EnableOnChange(hwnd_, model_.Enabled());
        if (arrows_) EnableOnChange(arrows_, model_.Enabled());
        break;
    case Property::Visible:
        ShowOnChange(hwnd_, model_.Visible());
        if (arrows_) ShowOnChange(arrows_, model_.Visible());
        break;
    case Property::Bounds: {
        const Bounds b = ScreenBounds();
        PlaceOnChange(hwnd_, b.left, b.top, b.width, b.height);
        if (arrows_) {
            const RECT place = ArrowsPlace();
            PlaceOnChange(arrows_, place.left, place.top, place.right - place.left, place.bottom - place.top);
        }
        break;
    }
    default: break;
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
    case EN_KILLFOCUS: kit_.Dispatch([this] { Spin().FocusLost(); }); return true;
    default: return false;
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
    FocusAndSelectAll(hwnd_);
}

// ---------------------------------------------------------------------------------------------
// Drop-down boxes and bars

void ComboBoxPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "COMBOBOX", "",
                                 kChild | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | TabStop(model_), b.left, b.top,
                                 b.width, Scaled(kDropDownHeight), parent);
    if (!hwnd_) return;
    if (HWND edit = GetWindow(hwnd_, GW_CHILD)) kit_.AdoptWindow(*this, edit);
}

std::string ComboBoxPeer::NativeText() const
{
    return WindowText(hwnd_);
}

void ComboBoxPeer::SyncAll()
{
    NativeControl::SyncAll();  // its caption step does nothing: the box shows its text
    Sync(Property::Items);
    Sync(Property::Text);
}

void ComboBoxPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption: break;
    case Property::Bounds: {
        const Bounds b = ScreenBounds();
        PlaceOnChange(hwnd_, b.left, b.top, b.width, Scaled(kDropDownHeight));
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
    default: NativeControl::Sync(property);
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
    default: return false;
    }
}

void ComboBoxPeer::FocusByKeyboard()
{
    SetFocus(hwnd_);
    SendMessageA(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

}  // namespace lumora::win32
