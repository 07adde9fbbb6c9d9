// Writes the control map (docs/control-map.md) from the code itself: for every control of the
// settings pages that holds a stored setting, it changes the control on a fake machine, applies,
// and reports which field of the window state and which stored values changed. Nothing in the
// map is typed by hand: the controls are found on the pages and the fields in the stores'
// declarations (tests/unit/FormWalk.h), so a renamed value, a control bound to another field, a
// new control or a new field shows up as a difference the test run reports.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "unit/FormWalk.h"

namespace lumora::testing {
namespace {

std::string Trimmed(std::string caption)
{
    while (!caption.empty() && (caption.back() == ' ' || caption.back() == ':')) caption.pop_back();
    return caption;
}

bool Holds(const TControl& control)
{
    const ControlKind kind = control.Kind();
    return kind == ControlKind::Slider || kind == ControlKind::SpinEdit || kind == ControlKind::ComboBox ||
           kind == ControlKind::CheckBox || kind == ControlKind::Edit;
}

// What the control is for, as the window says it: a box's own caption; a slider's label, on its
// left or above it; else its row as the user reads it, the control itself as "[x]" and any other
// field of the row as "[ ]".
std::string Purpose(const TControl& control)
{
    if (control.Kind() == ControlKind::CheckBox) return control.Caption();
    const Bounds& b = control.GetBounds();
    const auto& siblings = control.Parent()->Children();
    const TControl* above = nullptr;
    std::vector<const TControl*> row;
    for (const TControl* other : siblings) {
        const Bounds& o = other->GetBounds();
        if (other != &control && other->Kind() != ControlKind::Label && !Holds(*other)) continue;
        if (o.top >= b.top - 8 && o.top <= b.top + 8) row.push_back(other);
        if (other->Kind() == ControlKind::Label && o.top < b.top - 8 && o.top >= b.top - 40 &&
            (!above || o.top > above->GetBounds().top)) {
            above = other;
        }
    }
    std::sort(row.begin(), row.end(),
              [](const TControl* a, const TControl* c) { return a->GetBounds().left < c->GetBounds().left; });
    if (control.Kind() == ControlKind::Slider) {
        const TControl* left = nullptr;
        for (const TControl* item : row) {
            if (item->Kind() == ControlKind::Label && item->GetBounds().left < b.left) left = item;
        }
        if (left) return Trimmed(left->Caption());
        return above ? Trimmed(above->Caption()) : "";
    }
    std::string text;
    for (const TControl* item : row) {
        const std::string word = item == &control ? "[x]" : Holds(*item) ? "[ ]" : Trimmed(item->Caption());
        if (!word.empty()) text += (text.empty() ? "" : " ") + word;
    }
    if (text == "[x]" && above) text = Trimmed(above->Caption()) + " [x]";
    return text;
}

std::vector<std::string> Quoted(std::vector<std::string> names)
{
    for (std::string& name : names) name = "`" + name + "`";
    return names;
}

std::string Join(const std::vector<std::string>& items)
{
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : "<br>") + item;
    return out.empty() ? "(none)" : out;
}

}  // namespace

int WriteMap()
{
    std::printf(
        "# Control map\n\n"
        "Written by `tests/map/ControlMap.cpp` (`bash scripts/control-map.sh`); the `control-map` layer of the\n"
        "test run fails when this file and the code disagree. For each control of the settings pages that\n"
        "holds a setting: the control changed as a user would, then \"Apply\" on a fake 128 MB Windows 98\n"
        "machine, and what changed in the window state (the fields of `AgentStore` and `TuningStore`) and in\n"
        "what is stored. Registry values are written in full on every Apply; only those whose contents\n"
        "changed are listed.\n\n"
        "| page | control | what for | window state | stored as |\n"
        "|---|---|---|---|---|\n");
    FormHarness names;
    TForm1& named = names.Start();
    int page = -1;
    for (const ChangeEffect& effect : EffectsOfChanges()) {
        const TTabSheet& sheet = *named.PageControl1.Pages()[static_cast<std::size_t>(effect.page)];
        std::printf("| %s | `%s` | %s | %s | %s |\n", effect.page != page ? sheet.Caption().c_str() : "",
                    effect.control.c_str(), Purpose(*FindControl(named, effect.control)).c_str(),
                    Join(Quoted(effect.fields)).c_str(), Join(effect.stored).c_str());
        page = effect.page;
    }
    return 0;
}

}  // namespace lumora::testing

int main()
{
    return lumora::testing::WriteMap();
}
