// Writes the control map (docs/control-map.md) from the code itself: for every control of the
// settings pages that holds a stored setting, it changes the control on a fake machine, applies,
// and reports which field of the window state and which stored values changed. Nothing in the
// map is typed by hand, so a renamed value, a control bound to another field or a new control
// shows up as a difference the test run reports.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "form/ControlIds.h"
#include "form/TForm1.h"
#include "ui/Slider.h"
#include "ui/SpinEdit.h"
#include "unit/FormHarness.h"

namespace lumora::testing {
namespace {

template <typename T>
std::string Text(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// The window state: every field of the two stores, by name.
using Field = std::pair<const char*, std::function<std::string(const TForm1&)>>;
const std::vector<Field>& StateFields()
{
    static const std::vector<Field> fields = {
        {"Agent.TargetFreeMB", [](const TForm1& f) { return Text(f.Agent.TargetFreeMB); }},
        {"Agent.MinimumFreeMB", [](const TForm1& f) { return Text(f.Agent.MinimumFreeMB); }},
        {"Agent.FreeUpMB", [](const TForm1& f) { return Text(f.Agent.FreeUpMB); }},
        {"Agent.FreeIntervalMin", [](const TForm1& f) { return Text(f.Agent.FreeIntervalMin); }},
        {"Agent.CpuLimitPercent", [](const TForm1& f) { return Text(f.Agent.CpuLimitPercent); }},
        {"Agent.MenuFreeMB1", [](const TForm1& f) { return Text(f.Agent.MenuFreeMB1); }},
        {"Agent.MenuFreeMB2", [](const TForm1& f) { return Text(f.Agent.MenuFreeMB2); }},
        {"Agent.MenuFreeMB3", [](const TForm1& f) { return Text(f.Agent.MenuFreeMB3); }},
        {"Agent.CpuDetectDisabled", [](const TForm1& f) { return Text(f.Agent.CpuDetectDisabled); }},
        {"Agent.AlwaysOnTopFlag", [](const TForm1& f) { return Text(f.Agent.AlwaysOnTopFlag); }},
        {"Agent.AutoStartFlag", [](const TForm1& f) { return Text(f.Agent.AutoStartFlag); }},
        {"Agent.ClearClipboardFlag", [](const TForm1& f) { return Text(f.Agent.ClearClipboardFlag); }},
        {"Agent.RamIconFlag", [](const TForm1& f) { return Text(f.Agent.RamIconFlag); }},
        {"Agent.PlaySoundFlag", [](const TForm1& f) { return Text(f.Agent.PlaySoundFlag); }},
        {"Agent.SoundFile", [](const TForm1& f) { return f.Agent.SoundFile; }},
        {"Tuning.MinFileCacheText", [](const TForm1& f) { return f.Tuning.MinFileCacheText; }},
        {"Tuning.MaxFileCacheText", [](const TForm1& f) { return f.Tuning.MaxFileCacheText; }},
        {"Tuning.ChunkSizeText", [](const TForm1& f) { return f.Tuning.ChunkSizeText; }},
        {"Tuning.TemplateName", [](const TForm1& f) { return f.Tuning.TemplateName; }},
        {"Tuning.NameCacheSize", [](const TForm1& f) { return Text(f.Tuning.NameCacheSize); }},
        {"Tuning.PathCacheSize", [](const TForm1& f) { return Text(f.Tuning.PathCacheSize); }},
        {"Tuning.ContigAllocSize", [](const TForm1& f) { return Text(f.Tuning.ContigAllocSize); }},
        {"Tuning.PageBuffersText", [](const TForm1& f) { return f.Tuning.PageBuffersText; }},
        {"Tuning.ConservativeSwapText", [](const TForm1& f) { return f.Tuning.ConservativeSwapText; }},
    };
    return fields;
}

// Everything stored, one entry per value: "registry KEY: `NAME`" or "SYSTEM.INI [SECTION] KEY",
// with what it holds.
std::map<std::string, std::string> Stored(const FormHarness& h)
{
    std::map<std::string, std::string> out;
    std::istringstream dump(h.machine.registry.Dump());
    std::string line;
    while (std::getline(dump, line)) {
        const auto type = line.find(" type ");
        if (type == std::string::npos) continue;
        const std::string path = line.substr(0, type);
        const auto split = path.rfind('\\');
        out["`" + path.substr(0, split) + "`: \"" + path.substr(split + 1) + "\""] = line.substr(type);
    }
    // The log keeps the names as the program wrote them; the sections only in lower case.
    for (const std::string& entry : h.machine.profile.log) {
        if (entry.rfind("write ", 0) != 0) continue;
        const auto dot = entry.find('.'), equals = entry.find('=');
        if (dot == std::string::npos || equals == std::string::npos) continue;
        out["`SYSTEM.INI` [" + entry.substr(6, dot - 6) + "] " + entry.substr(dot + 1, equals - dot - 1)] =
            entry.substr(equals + 1);
    }
    return out;
}

std::vector<std::string> State(const TForm1& form)
{
    std::vector<std::string> out;
    for (const auto& field : StateFields()) out.push_back(field.second(form));
    return out;
}

// Changes a control as its user would; false for a control that holds no setting.
bool Change(TControl& control, FormHarness& h)
{
    switch (control.Kind()) {
    case ControlKind::CheckBox: control.Click(); return true;
    case ControlKind::Slider: {
        auto& slider = static_cast<TRxSlider&>(control);
        slider.DragTo(slider.Value() < slider.MaxValue() ? slider.Value() + 1 : slider.Value() - 1);
        return true;
    }
    case ControlKind::SpinEdit: {
        auto& edit = static_cast<TRxSpinEdit&>(control);
        edit.SetValue(edit.Value() < edit.MaxValue() ? edit.Value() + 1 : edit.Value() - 1);
        return true;
    }
    case ControlKind::ComboBox: {
        auto& box = static_cast<TComboBox&>(control);
        box.UserSelect(box.ItemIndex() == 1 ? 2 : 1);
        return true;
    }
    case ControlKind::SpeedButton:
        h.machine.dialogs.chosenFile = "C:\\Sounds\\chosen.wav";
        control.Click();
        return true;
    default: return false;
    }
}

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
    for (int page = kRamPage; page <= kTweakPage; ++page) {
        FormHarness names;
        TForm1& named = names.Start();
        TTabSheet& sheet = *named.PageControl1.Pages()[static_cast<std::size_t>(page)];
        bool first = true;
        for (TControl* child : sheet.Children()) {
            FormHarness h;
            TForm1& form = h.Start();
            h.Apply();
            TControl* control = FindControl(form, child->Name());
            form.PageControl1.UserSelect(page);
            // A control greyed until a box of its page is checked (the sound file's picker) is
            // mapped with that box checked and applied.
            if (control && !control->Enabled()) {
                for (TControl* box : sheet.Children()) {
                    TControl* other = FindControl(form, box->Name());
                    if (other->Kind() == ControlKind::CheckBox && !static_cast<TCheckBox*>(other)->Checked()) {
                        other->Click();
                    }
                }
                h.Apply();
            }
            const auto stateBefore = State(form);
            const auto storedBefore = Stored(h);
            if (!control || !Change(*control, h)) continue;
            h.Apply();
            const auto stateAfter = State(form);
            const auto storedAfter = Stored(h);

            std::vector<std::string> fields;
            for (std::size_t i = 0; i < stateBefore.size(); ++i) {
                if (stateBefore[i] != stateAfter[i]) fields.push_back(std::string("`") + StateFields()[i].first + "`");
            }
            std::set<std::string> keys;
            for (const auto& [key, value] : storedAfter) {
                const auto before = storedBefore.find(key);
                if (before == storedBefore.end() || before->second != value) keys.insert(key);
            }
            for (const auto& [key, value] : storedBefore) {
                if (!storedAfter.count(key)) keys.insert(key + " (deleted)");
            }
            std::printf("| %s | `%s` | %s | %s | %s |\n", first ? sheet.Caption().c_str() : "", child->Name().c_str(),
                        Purpose(*control).c_str(), Join(fields).c_str(),
                        Join(std::vector<std::string>(keys.begin(), keys.end())).c_str());
            first = false;
        }
    }
    return 0;
}

}  // namespace lumora::testing

int main()
{
    return lumora::testing::WriteMap();
}
