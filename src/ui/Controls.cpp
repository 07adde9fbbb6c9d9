// Control models: property changes, change handlers and the routing of mouse moves.
#include "ui/Controls.h"

namespace lumora {

TControl::TControl(ControlKind kind, const char* name, TControl* parent) : kind_(kind), name_(name), parent_(parent)
{
    if (parent_) parent_->children_.push_back(this);
}

void TControl::Notify(Property property)
{
    if (peer_) peer_->changed(*this, property);
}

void TControl::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    Notify(Property::Caption);
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Notify(Property::Enabled);
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    Notify(Property::Visible);
}

void TControl::SetBounds(const Bounds& bounds)
{
    bounds_ = bounds;
    Notify(Property::Bounds);
}

void TControl::MouseMove(int x, int y)
{
    if (!enabled_) {
        if (parent_) parent_->MouseMove(x + bounds_.left, y + bounds_.top);
        return;
    }
    if (OnMouseMove) OnMouseMove(x, y);
}

void TControl::Click()
{
    if (enabled_ && OnClick) OnClick();
}

void TButton::Click()
{
    if (Enabled() && OnClick) OnClick();
}

void TSpeedButton::Click()
{
    if (Enabled() && OnClick) OnClick();
}

void TCheckBox::SetChecked(bool checked)
{
    if (checked == checked_) return;
    checked_ = checked;
    Notify(Property::Checked);
    if (OnClick) OnClick();
}

void TCheckBox::Click()
{
    if (Enabled()) SetChecked(!checked_);
}

void TProgressBar::SetPosition(int position)
{
    if (position == position_) return;
    position_ = position;
    Notify(Property::Position);
}

void TComboBox::SetItems(std::vector<std::string> items)
{
    items_ = std::move(items);
    itemIndex_ = -1;
    Notify(Property::Items);
}

void TComboBox::SetItemIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        index = -1;
    }
    itemIndex_ = index;
    text_ = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
    Notify(Property::Selection);
}

void TComboBox::UserSelect(int index)
{
    SetItemIndex(index);
    if (OnChange) OnChange();
}

void TComboBox::UserType(const std::string& text)
{
    itemIndex_ = -1;
    text_ = text;
    Notify(Property::Text);
    if (OnChange) OnChange();
}

void TPageControl::SetActivePageIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(pages_.size()) || index == active_) return;
    active_ = index;
    Notify(Property::Selection);
}

void TPageControl::UserSelect(int index)
{
    if (index < 0 || index >= static_cast<int>(pages_.size()) || index == active_) return;
    SetActivePageIndex(index);
    if (OnChange) OnChange();
}

void TTimer::SetInterval(int ms)
{
    if (ms == interval_) return;
    interval_ = ms;
    if (onStateChanged) onStateChanged();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (onStateChanged) onStateChanged();
}

void PlaceLabels(std::initializer_list<LabelPlace> places)
{
    for (const LabelPlace& place : places) {
        place.label->SetBounds({place.left, place.top, 0, 0});
        place.label->SetCaption(place.caption);
    }
}

}  // namespace lumora
