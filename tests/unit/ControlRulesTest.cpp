// Rules that hold for every settings control of a kind, over the controls found on the window's
// pages (FormWalk.h): a control added to a page is held to them with no list to edit. Each rule
// names the controls that break it; boxes planted on the Options page, each with a fault, show
// that every rule reaches a new control.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/TabOrder.h"
#include "unit/FormWalk.h"

namespace lumora {
namespace {

using testing::ChangeEffect;
using testing::EffectsOfChanges;
using testing::FormHarness;
using testing::Plant;
using Violations = std::vector<std::string>;

Violations ApplyEnabled(const std::vector<ChangeEffect>& effects)
{
    Violations out;
    for (const ChangeEffect& e : effects) {
        if (!e.enablesApply) out.push_back(e.control + ": a change leaves Apply disabled");
    }
    return out;
}

// Windows reads its tuning values at boot: a change marks a restart, and the Apply offers it,
// exactly when it moves one of them. An agent setting never asks for one.
bool MovesATuningValue(const ChangeEffect& e)
{
    return std::any_of(e.fields.begin(), e.fields.end(),
                       [](const std::string& field) { return field.rfind("Tuning.", 0) == 0; });
}

Violations RestartMarked(const std::vector<ChangeEffect>& effects)
{
    Violations out;
    for (const ChangeEffect& e : effects) {
        const bool tuning = MovesATuningValue(e);
        if (e.marksRestart != tuning) {
            out.push_back(e.control + (tuning ? ": moves a Windows tuning value without marking a restart"
                                              : ": marks a restart for an agent setting"));
        } else if (e.asksRestart != e.marksRestart) {
            out.push_back(e.control + (e.asksRestart ? ": Apply offers an unmarked restart"
                                                     : ": Apply does not offer the marked restart"));
        }
    }
    return out;
}

// The control map gives every settings control the window state it moves and what that stores.
Violations Mapped(const std::vector<ChangeEffect>& effects)
{
    Violations out;
    for (const ChangeEffect& e : effects) {
        if (e.fields.empty()) out.push_back(e.control + ": moves no window state");
        if (e.stored.empty()) out.push_back(e.control + ": stores nothing");
    }
    return out;
}

// A box stored as a value of the agent key shows, after a load, what the agent reads from it:
// on only for a DWORD whose low 16 bits are 1.
Violations FlagsLoaded(const std::vector<ChangeEffect>& effects, const Plant& plant)
{
    using Put = void (*)(fakes::FakeRegistry&, const std::string&, const std::string&);
    const struct {
        const char* stored;
        Put put;
        bool checked;
    } cases[] = {
        {"DWORD 1", [](auto& r, const auto& key, const auto& name) { r.PutDword(key, name, 1); }, true},
        {"DWORD 65537", [](auto& r, const auto& key, const auto& name) { r.PutDword(key, name, 65537); }, true},
        {"DWORD 2", [](auto& r, const auto& key, const auto& name) { r.PutDword(key, name, 2); }, false},
        {"DWORD 0", [](auto& r, const auto& key, const auto& name) { r.PutDword(key, name, 0); }, false},
        {"text \"1\"", [](auto& r, const auto& key, const auto& name) { r.PutString(key, name, "1"); }, false},
        {"number 1", [](auto& r, const auto& key, const auto& name) { r.PutDouble(key, name, 1); }, false},
    };
    Violations out;
    for (const ChangeEffect& e : effects) {
        if (e.kind != ControlKind::CheckBox) continue;
        for (const testing::StoredValue& value : e.registryValues) {
            if (fakes::Lower(value.key) != fakes::Lower(testing::kAgentKey)) continue;
            for (const auto& c : cases) {
                FormHarness h;
                h.plant = plant;
                c.put(h.machine.registry, value.key, value.name);
                TForm1& form = h.Start();
                if (static_cast<TCheckBox*>(testing::FindControl(form, e.control))->Checked() != c.checked) {
                    out.push_back(e.control + ": \"" + value.name + "\" stored as " + c.stored + " shows " +
                                  (c.checked ? "unchecked" : "checked"));
                }
            }
        }
    }
    return out;
}

// A check box, slider or spin edit describes itself in the Description box while the pointer is
// over it.
Violations Described(const Plant& plant)
{
    FormHarness h;
    h.plant = plant;
    TForm1& form = h.Start();
    Violations out;
    for (const auto& control : testing::SettingsControls(plant)) {
        if (control.kind != ControlKind::CheckBox && control.kind != ControlKind::Slider &&
            control.kind != ControlKind::SpinEdit) {
            continue;
        }
        form.PageControl1.UserSelect(control.page);
        form.Label8.SetCaption("stale");
        testing::FindControl(form, control.name)->MouseMove(2, 2);
        const std::string shown = form.Label8.Caption();
        if (shown.empty() || shown == "stale") out.push_back(control.name + ": describes nothing");
    }
    return out;
}

// The keyboard reaches every control of a settings page that takes focus: each has a tab order of
// its own on the page, and Tab visits it once while it is enabled.
Violations TabOrdered(const Plant& plant)
{
    FormHarness h;
    h.plant = plant;
    TForm1& form = h.Start();
    Violations out;
    for (const int page : testing::kSettingsPages) {
        form.PageControl1.UserSelect(page);
        const auto sequence = TabSequence(form);
        std::map<int, std::string> orders;
        for (const TControl* control : form.PageControl1.Pages()[static_cast<std::size_t>(page)]->Children()) {
            if (!TakesFocus(control->Kind())) continue;
            if (control->tabOrder < 0) {
                out.push_back(control->Name() + ": no tab order, the keyboard never reaches it");
                continue;
            }
            const auto [at, fresh] = orders.emplace(control->tabOrder, control->Name());
            if (!fresh) out.push_back(control->Name() + ": the tab order of " + at->second);
            const auto visits = std::count(sequence.begin(), sequence.end(), control);
            if (control->Enabled() && visits != 1) {
                out.push_back(control->Name() + ": Tab visits it " + std::to_string(visits) + " times");
            }
        }
    }
    return out;
}

TEST(ControlRules, HoldForEveryControlOfTheWindow)
{
    const auto effects = EffectsOfChanges();
    ASSERT_GE(effects.size(), 20u) << "the walk found the pages' controls";
    EXPECT_EQ(ApplyEnabled(effects), Violations{});
    EXPECT_EQ(RestartMarked(effects), Violations{});
    EXPECT_EQ(Mapped(effects), Violations{});
    EXPECT_EQ(FlagsLoaded(effects, nullptr), Violations{});
    EXPECT_EQ(Described(nullptr), Violations{});
    EXPECT_EQ(TabOrdered(nullptr), Violations{});
}

// A new box on the Options page, below the others, as a page's constructor would place it.
TCheckBox& PlantBox(FormHarness& h, TForm1& form, int tabOrder)
{
    h.planted.push_back(std::make_unique<TCheckBox>("CheckBox99", &form.Options.Sheet));
    auto& box = static_cast<TCheckBox&>(*h.planted.back());
    box.SetCaption("A planted option");
    box.SetBounds({16, 200, 150, 17});
    box.tabOrder = tabOrder;
    return box;
}

TEST(ControlRules, EachFindsItsFaultInABoxPlantedOnTheOptionsPage)
{
    // Placed, and nothing more.
    const Plant bare = [](FormHarness& h, TForm1& form) { PlantBox(h, form, -1); };
    const auto bareEffects = EffectsOfChanges(bare);
    EXPECT_EQ(ApplyEnabled(bareEffects), Violations{"CheckBox99: a change leaves Apply disabled"});
    EXPECT_EQ(Mapped(bareEffects), (Violations{"CheckBox99: moves no window state", "CheckBox99: stores nothing"}));
    EXPECT_EQ(Described(bare), Violations{"CheckBox99: describes nothing"});
    EXPECT_EQ(TabOrdered(bare), Violations{"CheckBox99: no tab order, the keyboard never reaches it"});

    // Handled as a tuning page's box, with the tab order of the first box.
    const Plant restarting = [](FormHarness& h, TForm1& form) {
        PlantBox(h, form, 0).OnClick = [&form] {
            form.RestartPending = true;
            form.Button2.SetEnabled(true);
        };
    };
    EXPECT_EQ(RestartMarked(EffectsOfChanges(restarting)),
              Violations{"CheckBox99: marks a restart for an agent setting"});
    EXPECT_EQ(TabOrdered(restarting), Violations{"CheckBox99: the tab order of CheckBox2"});

    // Saved through the tray icon's box, but never shown from what is stored.
    const Plant unloaded = [](FormHarness& h, TForm1& form) {
        PlantBox(h, form, 6).OnClick = [&form] { form.Options.CheckBox3.Click(); };
    };
    const auto unloadedEffects = EffectsOfChanges(unloaded);
    EXPECT_EQ(Mapped(unloadedEffects), Violations{});
    EXPECT_EQ(FlagsLoaded(unloadedEffects, unloaded),
              (Violations{"CheckBox99: \"RAMIcon\" stored as DWORD 1 shows unchecked",
                          "CheckBox99: \"RAMIcon\" stored as DWORD 65537 shows unchecked"}));
}

}  // namespace
}  // namespace lumora
