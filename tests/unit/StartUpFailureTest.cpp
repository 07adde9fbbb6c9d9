// Start-up steps that fail: the error is shown, everything readable is loaded, and the next
// Apply never writes unloaded controls over the stored settings.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;
using testing::kRunKey;
using Lines = std::vector<std::string>;

const std::string kRunEntry = std::string(kRunKey) + "\\Lumora";

// The settings a user saved earlier; each start-up below must carry them through an Apply.
void StoreSettings(fakes::FakeRegistry& r)
{
    r.PutString(kAgentKey, "CurrentDir", "D:\\Agent");
    r.PutDword(kAgentKey, "Target Fre RAM", 40);
    r.PutDword(kAgentKey, "PlaySound", 1);
    r.PutDouble(kAgentKey, "FreeTime", 7);
    r.PutString(kAgentKey, "Music", "D:\\Agent\\ding.wav");
    r.PutDword(kAgentKey, "AutoStart", 1);
}

void ExpectStoredSettings(const fakes::FakeRegistry& r, const std::string& label)
{
    EXPECT_EQ(r.Dword(kAgentKey, "Target Fre RAM"), 40u) << label;
    EXPECT_EQ(r.Dword(kAgentKey, "PlaySound"), 1u) << label;
    EXPECT_EQ(r.Double(kAgentKey, "FreeTime"), 7) << label;
    EXPECT_EQ(r.String(kAgentKey, "Music"), "D:\\Agent\\ding.wav") << label;
    EXPECT_EQ(r.Dword(kAgentKey, "AutoStart"), 1u) << label;
}

TEST(StartUpFailure, EveryFailedStepIsShownAndTheStoredSettingsSurviveTheNextApply)
{
    struct Case {
        const char* name;
        // Prepares the machine before the start; the returned action, run after it, lifts a
        // refusal that only the start-up met.
        std::function<std::function<void()>(FormHarness&)> prepare;
        Lines startErrors;
        bool loaded;     // the stored values reached the controls
        bool saveWorks;  // the Apply after the start-up writes the user's change
    };
    const std::vector<Case> cases = {
        {"CurrentDir of the wrong type and its rewrite refused",
         [](FormHarness& h) -> std::function<void()> {
             h.machine.registry.PutDword(kAgentKey, "CurrentDir", 3);  // wrong type: rewritten
             h.machine.registry.refuseSet.insert("hkcu\\software\\lumora\\currentdir");
             return [&h] { h.machine.registry.refuseSet.clear(); };
         },
         {"Failed to set data for 'CurrentDir'"},
         true,
         true},
        {"CurrentDir unreadable",
         [](FormHarness& h) -> std::function<void()> {
             h.machine.registry.refuseQuery.insert("hkcu\\software\\lumora\\currentdir");
             return [&h] { h.machine.registry.refuseQuery.clear(); };
         },
         {},
         true,
         true},
        {"Run key missing",
         [](FormHarness& h) -> std::function<void()> {
             h.machine.registry.RemoveKey(kRunKey);
             return [] {};
         },
         {},
         true,
         true},
        {"Run entry refused",
         [](FormHarness& h) -> std::function<void()> {
             h.machine.registry.refuseSet.insert(fakes::Lower(kRunEntry));
             return [&h] { h.machine.registry.refuseSet.clear(); };
         },
         {"Failed to set data for 'Lumora'"},
         true,
         true},
        {"agent key cannot be opened",
         [](FormHarness& h) -> std::function<void()> {
             h.machine.registry.refuseOpen.insert("hkcu\\software\\lumora");
             return [] {};
         },
         {"Failed to set data for 'CurrentDir'"},
         false,
         false},
    };
    for (const auto& c : cases) {
        FormHarness h(128);
        StoreSettings(h.machine.registry);
        h.machine.profile.Put("vcache", "MinFileCache", "3000");  // the load moves a Disk Cache slider
        const auto lift = c.prepare(h);
        TForm1& f = h.Start();
        const std::string label = c.name;
        EXPECT_EQ(h.machine.dialogs.errors, c.startErrors) << label;
        EXPECT_FALSE(f.Button2.Enabled()) << label;
        EXPECT_FALSE(f.RestartPending) << label;
        EXPECT_TRUE(f.Timer1.Enabled()) << label;
        EXPECT_EQ(f.DiskCache.Label16.Caption(), "2048 kb") << label << ": the load went on after the failed step";
        if (c.loaded) {
            EXPECT_EQ(f.Ram.RxSlider1.Value(), 40) << label;
            EXPECT_TRUE(f.Options.CheckBox1.Checked()) << label;
            EXPECT_TRUE(f.Options.Edit1.Enabled()) << label;
            EXPECT_EQ(f.Ram.RxSpinEdit2.Text(), "7") << label;
            EXPECT_EQ(f.Options.Edit1.Text(), "D:\\Agent\\ding.wav") << label;
            EXPECT_TRUE(f.Options.CheckBox2.Checked()) << label;
        } else {
            EXPECT_FALSE(h.machine.registry.Has(kRunKey, "Lumora")) << label << ": defaults register nothing";
        }

        lift();
        h.machine.dialogs.errors.clear();
        f.Options.CheckBox3.Click();
        h.Apply();
        ExpectStoredSettings(h.machine.registry, label);
        EXPECT_EQ(h.machine.registry.Has(kAgentKey, "RAMIcon"), c.saveWorks) << label;
        EXPECT_EQ(h.machine.dialogs.errors.empty(), c.saveWorks) << label;
    }
}

TEST(StartUpFailure, LoadLeavesAMissingRunKeyAloneAndTheSaveCreatesIt)
{
    FormHarness h(128);
    StoreSettings(h.machine.registry);
    h.machine.registry.RemoveKey(kRunKey);
    TForm1& f = h.Start();
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
    EXPECT_FALSE(h.machine.registry.KeyExists(kRunKey));
    for (const auto& attempt : h.machine.attempts) {
        EXPECT_EQ(attempt.find("HKLM\\Lumora"), std::string::npos) << attempt;
        EXPECT_EQ(attempt.find("\\Run\\"), std::string::npos) << attempt;
    }
    EXPECT_FALSE(h.machine.registry.Has("HKLM", "Lumora")) << "nothing lands in the root key";

    h.Apply();
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
    EXPECT_EQ(h.machine.registry.String(kRunKey, "Lumora"), "D:\\Agent\\Lumora.exe");
    ExpectStoredSettings(h.machine.registry, "after the save");
    EXPECT_FALSE(f.Button2.Enabled());
}

TEST(StartUpFailure, RefusedRunEntryInTheReloadOfApplyIsShownAfterTheReload)
{
    // The save writes the entry and the agent values (the untouched template step writes
    // nothing); the reload's rewrite of the entry, its second write, is refused. Which write that
    // is, an Apply of a twin window tells.
    int reload = -1;
    {
        FormHarness twin(128);
        StoreSettings(twin.machine.registry);
        twin.Start().Ram.RxSlider1.SetValue(50);
        twin.machine.attempts.clear();
        twin.Apply();
        int entries = 0;
        int writes = 0;  // registry writes before this one; the SYSTEM.INI ones count apart
        for (const std::string& attempt : twin.machine.attempts) {
            if (attempt.rfind("reg ", 0) != 0) continue;
            const bool entry = attempt.size() > 10 && attempt.compare(attempt.size() - 10, 10, "Run\\Lumora") == 0;
            if (entry && ++entries == 2) {
                reload = writes;
                break;
            }
            ++writes;
        }
        ASSERT_GT(reload, 0) << "the twin's Apply wrote the entry twice";
    }
    FormHarness h(128);
    StoreSettings(h.machine.registry);
    TForm1& f = h.Start();
    f.Ram.RxSlider1.SetValue(50);
    h.machine.registry.refuseSetNumber = h.machine.registry.setCalls + reload;
    h.Apply();
    EXPECT_EQ(h.machine.dialogs.errors, Lines{"Failed to set data for 'Lumora'"});
    EXPECT_EQ(h.machine.registry.Dword(kAgentKey, "Target Fre RAM"), 50u);
    EXPECT_EQ(f.Ram.Label18.Caption(), "50 MB") << "the pages were reloaded";
    EXPECT_FALSE(h.machine.registry.Has(kAgentKey, "Update")) << "the failed reload ends the Apply";
}

TEST(StartUpFailure, OnlyAWronglyTypedCurrentDirCountsAsMissing)
{
    struct Case {
        const char* name;
        std::function<void(fakes::FakeRegistry&)> store;
        const char* used;    // CurrentDir of this run
        const char* stored;  // the value afterwards, as text
    };
    const std::vector<Case> cases = {
        {"text", [](auto& r) { r.PutString(kAgentKey, "CurrentDir", "D:\\Agent"); }, "D:\\Agent", "D:\\Agent"},
        {"missing", [](auto&) {}, "E:\\Work", "E:\\Work"},
        {"DWORD", [](auto& r) { r.PutDword(kAgentKey, "CurrentDir", 7); }, "E:\\Work", "E:\\Work"},
        {"binary",
         [](auto& r) {
             r.Put(kAgentKey, "CurrentDir", kRegBinary, {'D', ':', 0});
         },
         "E:\\Work", "E:\\Work"},
        {"unreadable text",
         [](auto& r) {
             r.PutString(kAgentKey, "CurrentDir", "D:\\Agent");
             r.refuseQuery.insert("hkcu\\software\\lumora\\currentdir");
         },
         "E:\\Work", "D:\\Agent"},
    };
    for (const auto& c : cases) {
        FormHarness h(128);
        c.store(h.machine.registry);
        h.machine.system.cwd = "E:\\Work";
        TForm1& f = h.Start();
        h.machine.registry.refuseQuery.clear();
        EXPECT_TRUE(h.machine.dialogs.errors.empty()) << c.name;
        EXPECT_EQ(f.CurrentDir, c.used) << c.name;
        EXPECT_EQ(h.machine.registry.String(kAgentKey, "CurrentDir"), c.stored) << c.name;
        h.Apply();
        EXPECT_EQ(h.machine.registry.String(kAgentKey, "CurrentDir"), c.stored)
            << c.name << ": the save never writes it";
    }
}

}  // namespace
}  // namespace lumora
