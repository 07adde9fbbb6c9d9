// The settings controls of the main window, found by walking its pages rather than listed: how a
// user changes each, and what a change and an Apply moved in the window state and in storage.
// The rule tests (ControlRulesTest.cpp) and the control map (tests/map/ControlMap.cpp) share it.
#pragma once
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "form/ControlIds.h"
#include "form/TForm1.h"
#include "ui/Slider.h"
#include "ui/SpinEdit.h"
#include "unit/FormHarness.h"

namespace lumora::testing {

// The pages whose controls hold stored settings, left to right.
inline constexpr int kSettingsPages[] = {kRamPage, kOptionsPage, kDiskCachePage, kFileCachePage, kTweakPage};

// Whether the user changes a setting with this control. The sound file's box is read-only: its
// picker button changes it.
inline bool HoldsASetting(const TControl& control)
{
    switch (control.Kind()) {
    case ControlKind::CheckBox:
    case ControlKind::Slider:
    case ControlKind::SpinEdit:
    case ControlKind::ComboBox:
    case ControlKind::SpeedButton: return true;
    default: return false;
    }
}

// Changes a control that holds a setting as its user would: a click, a slider or spin edit one
// step away from its end, another item of a list, a file chosen in the picker.
inline void ChangeAsUser(TControl& control, FormHarness& h)
{
    switch (control.Kind()) {
    case ControlKind::Slider: {
        auto& slider = static_cast<TRxSlider&>(control);
        slider.DragTo(slider.Value() < slider.MaxValue() ? slider.Value() + 1 : slider.Value() - 1);
        break;
    }
    case ControlKind::SpinEdit: {
        auto& edit = static_cast<TRxSpinEdit&>(control);
        edit.SetValue(edit.Value() < edit.MaxValue() ? edit.Value() + 1 : edit.Value() - 1);
        break;
    }
    case ControlKind::ComboBox: {
        auto& box = static_cast<TComboBox&>(control);
        box.UserSelect(box.ItemIndex() == 1 ? 2 : 1);
        break;
    }
    case ControlKind::SpeedButton:
        h.machine.dialogs.chosenFile = "C:\\Sounds\\chosen.wav";
        control.Click();
        break;
    default: control.Click(); break;
    }
}

struct SettingsControl {
    std::string name;
    int page;
    ControlKind kind;
};

// Every control of the settings pages that holds a setting, page by page in the order the page
// declares them; on a window that plant (when set) added to.
inline std::vector<SettingsControl> SettingsControls(const Plant& plant = nullptr)
{
    FormHarness h;
    h.plant = plant;
    TForm1& form = h.Start();
    std::vector<SettingsControl> controls;
    for (const int page : kSettingsPages) {
        for (const TControl* control : form.PageControl1.Pages()[static_cast<std::size_t>(page)]->Children()) {
            if (HoldsASetting(*control)) controls.push_back({control->Name(), page, control->Kind()});
        }
    }
    return controls;
}

template <typename T>
std::string Text(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// The window state: every field of the stores the window holds ("Agent.TargetFreeMB"), in the
// order the stores declare them, as text. The build reads the fields from the stores' headers
// (cmake/StoreFields.cmake), so a new field is here without a list to edit.
inline std::vector<std::pair<std::string, std::string>> WindowState(const TForm1& form)
{
    std::vector<std::pair<std::string, std::string>> state;
#define LUMORA_STORE_FIELD(store, field) state.emplace_back(#store "." #field, Text(form.store.field));
#include "StoreFields.inc"
#undef LUMORA_STORE_FIELD
    return state;
}

// One stored value: a registry value (key and name) or a SYSTEM.INI entry (section and key).
struct StoredValue {
    bool registry;
    std::string key;
    std::string name;
    std::string content;
};

// Everything stored, by the name the control map gives it: "`KEY`: \"NAME\"" for a registry
// value, "`SYSTEM.INI` [SECTION] KEY" for an entry.
inline std::map<std::string, StoredValue> StoredValues(const FormHarness& h)
{
    std::map<std::string, StoredValue> out;
    std::istringstream dump(h.machine.registry.Dump());
    std::string line;
    while (std::getline(dump, line)) {
        const auto type = line.find(" type ");
        if (type == std::string::npos) continue;
        const std::string path = line.substr(0, type);
        const auto split = path.rfind('\\');
        const std::string key = path.substr(0, split), name = path.substr(split + 1);
        out["`" + key + "`: \"" + name + "\""] = {true, key, name, line.substr(type)};
    }
    // The log keeps the names as the program wrote them; the sections only in lower case.
    for (const std::string& entry : h.machine.profile.log) {
        if (entry.rfind("write ", 0) != 0) continue;
        const auto dot = entry.find('.'), equals = entry.find('=');
        if (dot == std::string::npos || equals == std::string::npos) continue;
        const std::string section = entry.substr(6, dot - 6), key = entry.substr(dot + 1, equals - dot - 1);
        out["`SYSTEM.INI` [" + section + "] " + key] = {false, section, key, entry.substr(equals + 1)};
    }
    return out;
}

// What changing one settings control did, on a fresh 128 MB window that was applied once first.
struct ChangeEffect {
    std::string control;
    int page = 0;
    ControlKind kind = ControlKind::CheckBox;
    bool enablesApply = false;        // Apply was enabled after the change
    bool marksRestart = false;        // a restart was pending after the change
    bool asksRestart = false;         // the Apply after it offered the restart
    std::vector<std::string> fields;  // window-state fields that moved, in their order
    // Stored values that changed or went (" (deleted)"), by the control map's names.
    std::vector<std::string> stored;
    std::vector<StoredValue> registryValues;  // the registry values among them, as they are now
};

inline ChangeEffect EffectOfChange(const SettingsControl& which, const Plant& plant = nullptr)
{
    ChangeEffect effect;
    effect.control = which.name;
    effect.page = which.page;
    effect.kind = which.kind;
    FormHarness h;
    h.plant = plant;
    TForm1& form = h.Start();
    h.Apply();
    TControl* control = FindControl(form, which.name);
    form.PageControl1.UserSelect(which.page);
    // A control greyed until a box of its page is checked (the sound file's picker) is changed
    // with those boxes checked and applied.
    if (!control->Enabled()) {
        for (TControl* box : form.PageControl1.Pages()[static_cast<std::size_t>(which.page)]->Children()) {
            if (box->Kind() == ControlKind::CheckBox && !static_cast<TCheckBox*>(box)->Checked()) box->Click();
        }
        h.Apply();
    }
    const auto stateBefore = WindowState(form);
    const auto storedBefore = StoredValues(h);
    const std::size_t questionsBefore = h.machine.dialogs.questions.size();
    ChangeAsUser(*control, h);
    effect.enablesApply = form.Button2.Enabled();
    effect.marksRestart = form.RestartPending;
    h.Apply();
    effect.asksRestart = h.machine.dialogs.questions.size() > questionsBefore;
    const auto stateAfter = WindowState(form);
    const auto storedAfter = StoredValues(h);
    for (std::size_t i = 0; i < stateBefore.size(); ++i) {
        if (stateBefore[i].second != stateAfter[i].second) effect.fields.push_back(stateBefore[i].first);
    }
    std::map<std::string, bool> changed;  // by name; true: deleted
    for (const auto& [name, value] : storedAfter) {
        const auto before = storedBefore.find(name);
        if (before != storedBefore.end() && before->second.content == value.content) continue;
        changed[name] = false;
        if (value.registry) effect.registryValues.push_back(value);
    }
    for (const auto& [name, value] : storedBefore) {
        if (!storedAfter.count(name)) changed[name] = true;
    }
    for (const auto& [name, deleted] : changed) effect.stored.push_back(name + (deleted ? " (deleted)" : ""));
    return effect;
}

// The effect of changing each settings control (SettingsControls), in their order.
inline std::vector<ChangeEffect> EffectsOfChanges(const Plant& plant = nullptr)
{
    std::vector<ChangeEffect> effects;
    for (const SettingsControl& control : SettingsControls(plant)) effects.push_back(EffectOfChange(control, plant));
    return effects;
}

}  // namespace lumora::testing
