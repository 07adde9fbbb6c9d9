// Control models: the state and events of every control kind the window uses.
//
// A model runs its change handler only on a real change of value, whoever made it, and never
// for a combo box item selected by the program. A native peer, when attached, is told of every
// property change so that it can follow the model.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace lumora {

enum class ControlKind {
    Form,
    PageControl,
    TabSheet,
    Button,
    Label,
    GroupBox,
    CheckBox,
    Slider,
    SpinEdit,
    ComboBox,
    ProgressBar,
    Edit,
    Image,
    SpeedButton,
};

enum class Property { Caption, Enabled, Visible, Checked, Position, Range, Text, Items, Selection, Bounds, Style };

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;  // 0: sized to the content
    int height = 0;
};

// Colours as 0x00BBGGRR, like the platform's. kColorDefault: the system's own colour.
enum : std::uint32_t {
    kColorDefault = 0xFFFFFFFFu,
    kColorBlack = 0x000000u,
    kColorNavy = 0x800000u,
    kColorWhite = 0xFFFFFFu,
    kColorButtonHighlight = 0xFF000014u,  // the system colour COLOR_BTNHIGHLIGHT
};

struct FontSpec {
    std::string name;  // empty: the window's font
    int height = -11;  // pixels, negative for character height as the platform takes it
    std::uint32_t color = kColorDefault;
    bool bold = false;
    bool underline = false;
};

class TControl;

// The ID of the window that belongs to the control with this ID without being its own. Part IDs
// lie above every control's and clear of the IDs the platform gives the parts of its own
// controls (a combo box's edit part is 1001).
constexpr int kPartIdOffset = 0x1000;
constexpr int PartId(int controlId)
{
    return controlId + kPartIdOffset;
}

// Implemented by the native toolkit to keep a native window in step with its model.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void changed(TControl& control, Property property) = 0;
};

class TControl {
public:
    // Names are literals of the layout; taking them as text keeps the window's constructor small.
    TControl(ControlKind kind, const char* name, TControl* parent);
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    TControl* Parent() const { return parent_; }
    const std::vector<TControl*>& Children() const { return children_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const Bounds& GetBounds() const { return bounds_; }
    void SetBounds(const Bounds& bounds);

    // Layout attributes, fixed once the window is built.
    int tabOrder = -1;  // -1: not a tab stop
    // The child-window ID of the control's native window, by which drivers in other processes
    // find it; 0 for the main window, which has none. A window that belongs to the control
    // without being its own (a spin edit's arrows) carries PartId(id).
    int id = 0;
    FontSpec font;
    std::uint32_t shadowColor = kColorDefault;  // titles drawn with a one-pixel shadow
    bool handCursor = false;

    std::function<void(int x, int y)> OnMouseMove;
    std::function<void()> OnClick;

    // Pointer moved over this control at (x, y) in its own coordinates. A disabled control
    // receives nothing: the move goes to its parent, as the platform does.
    void MouseMove(int x, int y);
    // The user clicked the control (buttons, links, pictures).
    virtual void Click();

    void AttachPeer(ControlPeer* peer) { peer_ = peer; }
    ControlPeer* Peer() const { return peer_; }

protected:
    void Notify(Property property);

private:
    ControlKind kind_;
    std::string name_;
    TControl* parent_;
    std::vector<TControl*> children_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    Bounds bounds_;
    ControlPeer* peer_ = nullptr;
};

class TLabel : public TControl {
public:
    TLabel(const char* name, TControl* parent) : TControl(ControlKind::Label, name, parent) {}
};

// A label at its designed place with its designed caption, sized to the caption.
struct LabelPlace {
    TLabel* label;
    int left;
    int top;
    std::string caption;
};
void PlaceLabels(std::initializer_list<LabelPlace> places);

class TButton : public TControl {
public:
    TButton(const char* name, TControl* parent) : TControl(ControlKind::Button, name, parent) {}
    void Click() override;
};

class TGroupBox : public TControl {
public:
    TGroupBox(const char* name, TControl* parent) : TControl(ControlKind::GroupBox, name, parent) {}
};

class TImage : public TControl {
public:
    TImage(const char* name, TControl* parent) : TControl(ControlKind::Image, name, parent) {}
    std::string resource;  // name of the picture among the program's resources
};

class TSpeedButton : public TControl {
public:
    TSpeedButton(const char* name, TControl* parent) : TControl(ControlKind::SpeedButton, name, parent) {}
    void Click() override;
    std::string resource;  // the glyph strip: normal and greyed images side by side
};

class TCheckBox : public TControl {
public:
    TCheckBox(const char* name, TControl* parent) : TControl(ControlKind::CheckBox, name, parent) {}
    bool Checked() const { return checked_; }
    // Runs OnClick when the state changes, whoever changes it.
    void SetChecked(bool checked);
    // The user's click toggles the state.
    void Click() override;

private:
    bool checked_ = false;
};

class TEdit : public TControl {
public:
    TEdit(const char* name, TControl* parent) : TControl(ControlKind::Edit, name, parent) {}
    const std::string& Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    bool readOnly = true;
};

class TProgressBar : public TControl {
public:
    TProgressBar(const char* name, TControl* parent) : TControl(ControlKind::ProgressBar, name, parent) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    // Stored as given; the native bar shows it within its range.
    void SetPosition(int position);

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

class TComboBox : public TControl {
public:
    TComboBox(const char* name, TControl* parent) : TControl(ControlKind::ComboBox, name, parent) {}
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    int ItemIndex() const { return itemIndex_; }
    // Selection by the program: shows the item's text and runs no handler.
    void SetItemIndex(int index);
    const std::string& Text() const { return text_; }
    // The user picked an item from the list.
    void UserSelect(int index);
    // The user typed into the box's edit part: no item is selected any more.
    void UserType(const std::string& text);
    std::function<void()> OnChange;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    std::string text_;
};

class TTabSheet : public TControl {
public:
    TTabSheet(const char* name, TControl* parent) : TControl(ControlKind::TabSheet, name, parent) {}
};

class TPageControl : public TControl {
public:
    TPageControl(const char* name, TControl* parent) : TControl(ControlKind::PageControl, name, parent) {}
    void AddPage(TTabSheet* page) { pages_.push_back(page); }
    const std::vector<TTabSheet*>& Pages() const { return pages_; }
    int ActivePageIndex() const { return active_; }
    // Selection by the program: runs no handler.
    void SetActivePageIndex(int index);
    // The user clicked a tab.
    void UserSelect(int index);
    std::function<void()> OnChange;

private:
    std::vector<TTabSheet*> pages_;
    int active_ = 0;
};

// A message-loop timer; its peer starts and stops the platform's timer.
class TTimer {
public:
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::function<void()> OnTimer;
    std::function<void()> onStateChanged;  // set by the native toolkit

private:
    int interval_ = 1000;
    bool enabled_ = true;
};

}  // namespace lumora
