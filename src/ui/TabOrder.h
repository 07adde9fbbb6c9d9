// The Tab key's order over a tree of control models, and which controls lie under their windowed siblings.
#pragma once
#include <algorithm>
#include <vector>

#include "ui/Controls.h"

namespace lumora {

inline bool TakesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PageControl:
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::Slider:
    case ControlKind::SpinEdit:
    case ControlKind::ComboBox:
    case ControlKind::Edit: return true;
    default: return false;
    }
}

// Controls drawn on their parent in the form designer's world: they lie under every windowed
// sibling, whatever order they were declared in.
inline bool IsGraphic(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::SpeedButton;
}

// The order in which the Tab key visits the controls under root: siblings by tab order, a page
// control before the controls of its shown page, hidden and disabled controls (and everything
// inside them) skipped.
inline void AppendTabSequence(const TControl& root, std::vector<const TControl*>& out)
{
    std::vector<const TControl*> children;
    if (root.Kind() == ControlKind::PageControl) {
        const auto& pc = static_cast<const TPageControl&>(root);
        const int active = pc.ActivePageIndex();
        if (active >= 0 && active < static_cast<int>(pc.Pages().size())) {
            AppendTabSequence(*pc.Pages()[static_cast<std::size_t>(active)], out);
        }
        return;
    }
    for (const TControl* child : root.Children()) {
        if (child->tabOrder >= 0) children.push_back(child);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const TControl* a, const TControl* b) { return a->tabOrder < b->tabOrder; });
    for (const TControl* child : children) {
        if (!child->Visible() || !child->Enabled()) continue;
        if (TakesFocus(child->Kind())) out.push_back(child);
        AppendTabSequence(*child, out);
    }
}

inline std::vector<const TControl*> TabSequence(const TControl& root)
{
    std::vector<const TControl*> out;
    AppendTabSequence(root, out);
    return out;
}

// The control the Tab key moves to from current (nullptr: from outside the sequence).
inline const TControl* NextInTabSequence(const std::vector<const TControl*>& sequence, const TControl* current,
                                         bool backwards)
{
    if (sequence.empty()) return nullptr;
    const auto found = std::find(sequence.begin(), sequence.end(), current);
    if (found == sequence.end()) return backwards ? sequence.back() : sequence.front();
    const std::size_t index = static_cast<std::size_t>(found - sequence.begin());
    const std::size_t n = sequence.size();
    return sequence[backwards ? (index + n - 1) % n : (index + 1) % n];
}

}  // namespace lumora
