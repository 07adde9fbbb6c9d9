// The page control and its pages: the tab row, the page shown, and pages built when first shown.
#include "win32/toolkit/peers/PagePeers.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

namespace {

// The space between a tab's caption and its sides. comctl32 makes a tab its caption's width plus
// 6 pixels a side, and no narrower than a minimum tab width (54 pixels in Wine's comctl32, which
// the tests run on) that only version 4.71 on lets a program change; Windows 95 and NT 4.0 come
// with 4.00. With 6 pixels the seven captions in "MS Sans Serif" 8 pt (35, 36, 55, 50, 33, 53 and
// 28 pixels wide) make a row of 410 pixels, four of its tabs at the minimum: from its start at 2
// it runs past the page control's 404, and scroll arrows cover the last tabs. With 4 pixels the
// row is 398 pixels and ends 4 inside the control, room for the selected tab's 2 pixels of
// widening; the captions keep some air at their sides.
constexpr int kTabPaddingX = 4;
constexpr int kTabPaddingY = 3;  // comctl32's own

// Where the pages' area starts below the top of the page control with the tab row of
// Windows 9x's "MS Sans Serif" 8 pt. The pages' places assume it: the "Automatic" buttons (page
// top 344) stand in one row with Apply and Cancel (window top 368).
constexpr int kPageAreaTop = 24;

}  // namespace

void PageControlPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, WC_TABCONTROLA, "", kChild | WS_CLIPCHILDREN | TabStop(model_), b.left,
                                 b.top, b.width, b.height, parent);
}

void PageControlPeer::SyncAll()
{
    // Before the tabs go in: the padding counts when a tab is inserted.
    SendMessageA(hwnd_, TCM_DELETEALLITEMS, 0, 0);
    SendMessageA(hwnd_, TCM_SETPADDING, 0, MAKELPARAM(Scaled(kTabPaddingX), Scaled(kTabPaddingY)));
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
    const int shortBy = Scaled(kPageAreaTop) - static_cast<int>(DisplayRect().top);
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

bool TabSheetPeer::Defer(HWND parent)
{
    if (Shown()) return false;
    waitingUnder_ = parent;
    return true;
}

void TabSheetPeer::changed(TControl& control, Property property)
{
    if (!hwnd_ && waitingUnder_) {
        if (property == Property::Visible && Shown()) {
            // Creating the window brings every property into it.
            const HWND parent = waitingUnder_;
            waitingUnder_ = nullptr;
            kit_.Realize(*this, parent);
        } else if (property == Property::Caption) {
            ShowCaptionOnTab(waitingUnder_);
        }
        return;
    }
    NativeControl::changed(control, property);
}

POINT TabSheetPeer::DesignPoint(POINT client) const
{
    // The page's controls stand at their scaled places from its own corner, wherever the tab
    // row puts that corner.
    const DisplayScale& scale = kit_.Scale();
    return {scale.ToDesign(client.x), scale.ToDesign(client.y)};
}

RECT TabSheetPeer::Area() const
{
    // A page control's peer is always a PageControlPeer (MakePeer).
    const TControl* parent = model_.Parent();
    if (!parent || parent->Kind() != ControlKind::PageControl || !parent->Peer()) return RECT{0, 0, 0, 0};
    return static_cast<const PageControlPeer*>(parent->Peer())->DisplayRect();
}

void TabSheetPeer::CreateWindows(HWND parent)
{
    const RECT area = Area();
    hwnd_ = kit_.CreateWindowFor(*this, 0, Toolkit::kTabSheetClass, model_.Caption(),
                                 WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, parent);
}

void TabSheetPeer::Place()
{
    const RECT area = Area();
    PlaceOnChange(hwnd_, area.left, area.top, area.right - area.left, area.bottom - area.top);
    // The model keeps the page's area in design units.
    const DisplayScale& scale = kit_.Scale();
    const int left = scale.ToDesign(area.left);
    const int top = scale.ToDesign(area.top);
    const Bounds bounds{left, top, scale.ToDesign(area.right) - left, scale.ToDesign(area.bottom) - top};
    const Bounds& old = model_.GetBounds();
    if (old.left != bounds.left || old.top != bounds.top || old.width != bounds.width || old.height != bounds.height) {
        writingBack_ = true;
        model_.SetBounds(bounds);
        writingBack_ = false;
    }
}

void TabSheetPeer::ShowCaptionOnTab(HWND tabControl)
{
    const int index = Index();
    if (index < 0) return;
    std::string caption = model_.Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageA(tabControl, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TabSheetPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption:
        SetWindowTextIfDifferent(hwnd_, model_.Caption());
        ShowCaptionOnTab(GetParent(hwnd_));
        break;
    case Property::Visible: {
        const bool shown = Shown();
        if (shown) kit_.BuildContents(model_);
        ShowOnChange(hwnd_, shown);
        break;
    }
    case Property::Bounds:
        if (!writingBack_) Place();
        break;
    default: NativeControl::Sync(property);
    }
}

}  // namespace lumora::win32
