// Loading and saving the agent's settings: names, kinds, defaults, the Run entry, write order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;
using testing::kRunKey;
using testing::Raw;
using testing::TextBytes;
using Bytes = std::vector<std::uint8_t>;

TEST(AgentStore, FirstStartOnAnEmptyKeyShowsTheMemoryDefaultsAndRegistersTheAgent)
{
    FormHarness h(128);
    TForm1& f = h.Start();
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
    EXPECT_EQ(h.machine.registry.String(kAgentKey, "CurrentDir"), h.machine.system.cwd);
    EXPECT_EQ(h.machine.registry.String(kRunKey, "Lumora"), h.machine.system.cwd + "\\Lumora.exe");
    EXPECT_EQ(h.AgentWrites(), (std::vector<std::string>{"CurrentDir"})) << "the load writes no agent value";
    EXPECT_EQ(f.Ram.RxSlider1.Value(), 32);
    EXPECT_EQ(f.Ram.Label18.Caption(), "32 MB");
    EXPECT_EQ(f.Ram.RxSlider2.Value(), 8);
    EXPECT_EQ(f.Ram.Label31.Caption(), "8 MB");
    const auto& ram = f.Ram;
    const std::vector<std::string> spins = {ram.RxSpinEdit1.Text(), ram.RxSpinEdit2.Text(), ram.RxSpinEdit7.Text(),
                                            ram.RxSpinEdit3.Text(), ram.RxSpinEdit4.Text(), ram.RxSpinEdit5.Text()};
    EXPECT_EQ(spins, (std::vector<std::string>{"2", "3", "90", "32", "16", "8"}));
    EXPECT_FALSE(f.Options.CheckBox1.Checked());
    EXPECT_FALSE(f.Options.Edit1.Enabled());
    EXPECT_FALSE(f.Options.SpeedButton1.Enabled());
    EXPECT_TRUE(f.Options.CheckBox2.Checked());
    EXPECT_EQ(f.Options.Edit1.Text(), h.machine.system.cwd + "\\confirmation.wav");
    EXPECT_FALSE(f.Button2.Enabled());
    EXPECT_FALSE(f.RestartPending);
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 800);
    EXPECT_EQ(f.PageControl1.ActivePageIndex(), 0);
    EXPECT_EQ(f.Label8.Caption(), "");
    EXPECT_EQ(f.Label9.Caption(), "");
}

TEST(AgentStore, LaterStartsKeepTheStoredFolderAndAWronglyTypedOneIsReplaced)
{
    FormHarness h;
    h.machine.registry.PutString(kAgentKey, "CurrentDir", "D:\\Agent");
    h.machine.system.cwd = "E:\\Elsewhere";
    TForm1& f = h.Start();
    EXPECT_EQ(f.CurrentDir, "D:\\Agent");
    EXPECT_EQ(h.machine.registry.String(kRunKey, "Lumora"), "D:\\Agent\\Lumora.exe");

    FormHarness g;
    g.machine.registry.PutDword(kAgentKey, "CurrentDir", 7);
    g.machine.system.cwd = "E:\\Work";
    TForm1& f2 = g.Start();
    EXPECT_TRUE(g.machine.dialogs.errors.empty());
    EXPECT_EQ(f2.CurrentDir, "E:\\Work");
    EXPECT_EQ(g.machine.registry.String(kAgentKey, "CurrentDir"), "E:\\Work");
}

// One stored value, how it is stored, and what the window shows after the load.
struct LoadCase {
    const char* name;
    std::function<void(fakes::FakeRegistry&)> store;
    std::function<std::string(TForm1&)> shown;
    const char* expected;
};

TEST(AgentStore, EveryValueLoadsItsValueOrItsDefaultWhateverIsStored)
{
    auto time = [](TForm1& f) { return f.Ram.RxSpinEdit2.Text(); };
    auto cpu = [](TForm1& f) { return f.Ram.RxSpinEdit7.Text(); };
    auto freeUp = [](TForm1& f) { return f.Ram.RxSpinEdit1.Text(); };
    auto target = [](TForm1& f) {
        return std::to_string(f.Agent.TargetFreeMB) + "/" + std::to_string(f.Ram.RxSlider1.Value());
    };
    auto music = [](TForm1& f) { return f.Agent.SoundFile + "|" + f.Options.Edit1.Text(); };
    const std::string cwd = "C:\\Program Files\\Lumora";
    const std::vector<LoadCase> cases = {
        {"FreeTime as DWORD", [](auto& r) { r.PutDword(kAgentKey, "FreeTime", 7); }, time, "3"},
        {"FreeTime 10-byte binary", [](auto& r) { r.Put(kAgentKey, "FreeTime", kRegBinary, Bytes(10, 0)); }, time, "3"},
        {"FreeTime as text", [](auto& r) { r.PutString(kAgentKey, "FreeTime", "7"); }, time, "3"},
        {"FreeTime 75", [](auto& r) { r.PutDouble(kAgentKey, "FreeTime", 75); }, time, "60"},
        {"FreeTime 7", [](auto& r) { r.PutDouble(kAgentKey, "FreeTime", 7); }, time, "7"},
        {"FreeCPU 2.5", [](auto& r) { r.PutDouble(kAgentKey, "FreeCPU", 2.5); }, cpu, "2"},
        {"FreeCPU 3.5", [](auto& r) { r.PutDouble(kAgentKey, "FreeCPU", 3.5); }, cpu, "4"},
        {"FreeCPU empty text", [](auto& r) { r.PutString(kAgentKey, "FreeCPU", ""); }, cpu, "90"},
        {"FreeCPU NaN stands at the minimum", [](auto& r) { r.PutDouble(kAgentKey, "FreeCPU", std::nan("")); }, cpu,
         "1"},
        {"FreeCPU -0 is clamped", [](auto& r) { r.PutDouble(kAgentKey, "FreeCPU", -0.0); }, cpu, "1"},
        {"FreeValue1 -0 shows 0", [](auto& r) { r.PutDouble(kAgentKey, "FreeValue1", -0.0); }, freeUp, "0"},
        {"FreeValue1 NaN stands at the minimum", [](auto& r) { r.PutDouble(kAgentKey, "FreeValue1", -std::nan("")); },
         freeUp, "0"},
        {"Target 70000 keeps low bits then clamps", [](auto& r) { r.PutDword(kAgentKey, "Target Fre RAM", 70000); },
         target, "128/128"},
        {"Target 100", [](auto& r) { r.PutDword(kAgentKey, "Target Fre RAM", 100); }, target, "100/100"},
        {"Target as number", [](auto& r) { r.PutDouble(kAgentKey, "Target Fre RAM", 100); }, target, "32/32"},
        {"Music empty text stays empty", [](auto& r) { r.PutString(kAgentKey, "Music", ""); }, music, "|"},
        {"Music expandable text is not expanded",
         [](auto& r) { r.Put(kAgentKey, "Music", kRegExpandSz, TextBytes("%W%")); }, music, "%W%|%W%"},
        {"Music as DWORD gives the default", [](auto& r) { r.PutDword(kAgentKey, "Music", 1); }, music,
         "C:\\Program Files\\Lumora\\confirmation.wav|C:\\Program Files\\Lumora\\confirmation.wav"},
    };
    for (const auto& c : cases) {
        FormHarness h(128);
        c.store(h.machine.registry);
        TForm1& f = h.Start();
        EXPECT_EQ(c.shown(f), c.expected) << c.name;
        EXPECT_TRUE(h.machine.dialogs.errors.empty()) << c.name;
        EXPECT_FALSE(f.Button2.Enabled()) << c.name;
    }
}

TEST(AgentStore, LoadAppliesTheStayOnTopStyleAndTheRunEntryFollowsAutoStart)
{
    FormHarness h;
    h.machine.registry.PutDword(kAgentKey, "Always on Top", 1);
    h.machine.registry.PutDword(kAgentKey, "AutoStart", 0);
    h.machine.registry.PutString(kRunKey, "Lumora", "old");
    TForm1& f = h.Start();
    EXPECT_TRUE(f.StayOnTop());
    EXPECT_FALSE(h.machine.registry.Has(kRunKey, "Lumora"));
    f.Options.CheckBox7.Click();  // unchecking changes nothing until Apply
    EXPECT_TRUE(f.StayOnTop());
    h.Apply();
    EXPECT_FALSE(f.StayOnTop());
}

TEST(AgentStore, DisabledCpuDetectionGreysTheCpuRowAtLoad)
{
    FormHarness h;
    h.machine.registry.PutDword(kAgentKey, "Disable_CPU_detect", 1);
    TForm1& f = h.Start();
    EXPECT_EQ(f.Agent.CpuDetectDisabled, 1);
    EXPECT_FALSE(f.Ram.CPUFree.Enabled());
    EXPECT_FALSE(f.Ram.RxSpinEdit7.Enabled());
    EXPECT_FALSE(f.Ram.Label23.Enabled());
}

TEST(AgentStore, ApplyWritesEveryValueInOrderWithItsKindThenUpdate)
{
    FormHarness h(128);
    TForm1& f = h.Start();
    f.Ram.RxSlider2.KeyDown(SliderKey::Right);  // 8 counts as 10: 20
    f.Options.CheckBox5.Click();
    f.Ram.RxSpinEdit2.SetText("");  // emptied minutes save as the minimum
    h.Apply();
    EXPECT_TRUE(h.machine.dialogs.errors.empty()) << h.machine.dialogs.errors.front();
    // The agent's values keep the order the agent has always found them in; a value added later
    // may go anywhere between CurrentDir and Update.
    const std::vector<std::string> order = {"CurrentDir",
                                            "Disable_CPU_Detect",
                                            "Always on Top",
                                            "Target Fre RAM",
                                            "Minimum Free RAM",
                                            "FreeValue1",
                                            "FreeTime",
                                            "FreeCPU",
                                            "Menu1",
                                            "Menu2",
                                            "Menu3",
                                            "AutoClearClipboard",
                                            "RAMIcon",
                                            "PlaySound",
                                            "Music",
                                            "AutoStart",
                                            "Update"};
    std::vector<std::string> known;
    for (const std::string& name : h.AgentWrites()) {
        if (std::find(order.begin(), order.end(), name) != order.end()) known.push_back(name);
    }
    EXPECT_EQ(known, order);
    EXPECT_EQ(h.AgentWrites().front(), "CurrentDir");
    EXPECT_EQ(h.AgentWrites().back(), "Update");
    auto& r = h.machine.registry;
    EXPECT_EQ(r.Dword(kAgentKey, "Disable_CPU_Detect"), 0u);
    EXPECT_EQ(r.Dword(kAgentKey, "Always on Top"), 0u);
    EXPECT_EQ(r.Dword(kAgentKey, "Target Fre RAM"), 32u);
    EXPECT_EQ(r.Dword(kAgentKey, "Minimum Free RAM"), 20u);
    EXPECT_EQ(r.Double(kAgentKey, "FreeValue1"), 2);
    EXPECT_EQ(r.Double(kAgentKey, "FreeTime"), 1);
    EXPECT_EQ(r.Double(kAgentKey, "FreeCPU"), 90);
    EXPECT_EQ(r.Double(kAgentKey, "Menu1"), 32);
    EXPECT_EQ(r.Double(kAgentKey, "Menu2"), 16);
    EXPECT_EQ(r.Double(kAgentKey, "Menu3"), 8);
    EXPECT_EQ(r.Dword(kAgentKey, "AutoClearClipboard"), 1u);
    EXPECT_EQ(r.Dword(kAgentKey, "RAMIcon"), 0u);
    EXPECT_EQ(r.Dword(kAgentKey, "PlaySound"), 0u);
    EXPECT_EQ(r.String(kAgentKey, "Music"), f.CurrentDir + "\\confirmation.wav");
    EXPECT_EQ(r.Dword(kAgentKey, "AutoStart"), 1u);
    EXPECT_EQ(r.Dword(kAgentKey, "Update"), 1u);
    EXPECT_EQ(f.Ram.RxSpinEdit2.Text(), "1") << "the load after the save shows what was stored";
    EXPECT_FALSE(f.Button2.Enabled());
    EXPECT_TRUE(h.machine.dialogs.questions.empty());
}

TEST(AgentStore, ARefusedWriteStopsTheSaveWhereItIs)
{
    // Every value an Apply writes, in its order, between the load's CurrentDir and Update.
    FormHarness all;
    all.Start();
    all.Apply();
    std::vector<std::string> order = all.AgentWrites();
    ASSERT_GE(order.size(), 3u);
    order = std::vector<std::string>(order.begin() + 1, order.end() - 1);
    for (std::size_t refused = 0; refused < order.size(); ++refused) {
        FormHarness h;
        TForm1& f = h.Start();
        f.Options.CheckBox3.Click();
        h.machine.registry.refuseSet.insert(fakes::Lower(std::string(kAgentKey) + "\\" + order[refused]));
        h.Apply();
        const std::string name = order[refused];
        ASSERT_EQ(h.machine.dialogs.errors.size(), 1u) << name;
        EXPECT_EQ(h.machine.dialogs.errors[0], "Failed to set data for '" + name + "'");
        std::vector<std::string> expected = {"CurrentDir"};
        expected.insert(expected.end(), order.begin(), order.begin() + static_cast<std::ptrdiff_t>(refused));
        EXPECT_EQ(h.AgentWrites(), expected) << "refusing " << name;
        EXPECT_FALSE(h.machine.registry.Has(kAgentKey, "Update")) << name;
        EXPECT_TRUE(f.Button2.Enabled()) << name;
        EXPECT_TRUE(h.machine.dialogs.questions.empty()) << name;
    }
}

TEST(AgentStore, ARefusedRunEntryStopsTheSaveBeforeTheAgentKey)
{
    FormHarness h;
    TForm1& f = h.Start();
    f.Options.CheckBox2.Click();
    f.Options.CheckBox2.Click();
    h.machine.registry.refuseSet.insert(fakes::Lower(std::string(kRunKey) + "\\Lumora"));
    h.Apply();
    ASSERT_EQ(h.machine.dialogs.errors.size(), 1u);
    EXPECT_EQ(h.machine.dialogs.errors[0], "Failed to set data for 'Lumora'");
    EXPECT_EQ(h.AgentWrites(), (std::vector<std::string>{"CurrentDir"}));
}

// A limited account on the NT family may read the machine's Run key but not change it.
TEST(AgentStore, ARunKeyTheUserMayOnlyReadIsLeftAloneAtStartAndRefusedAtApply)
{
    FormHarness h;
    h.machine.registry.PutString(kRunKey, "Lumora", "D:\\Elsewhere\\Lumora.exe");
    h.machine.registry.readOnly.insert(fakes::Lower(kRunKey));
    TForm1& f = h.Start();
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
    EXPECT_EQ(h.machine.registry.String(kRunKey, "Lumora"), "D:\\Elsewhere\\Lumora.exe");
    f.Options.CheckBox2.Click();
    f.Options.CheckBox2.Click();
    h.Apply();
    ASSERT_EQ(h.machine.dialogs.errors.size(), 1u);
    EXPECT_EQ(h.machine.dialogs.errors[0], "Failed to set data for 'Lumora'");
    EXPECT_EQ(h.machine.registry.String(kRunKey, "Lumora"), "D:\\Elsewhere\\Lumora.exe");
}

TEST(AgentStore, ASecondApplyWithoutRealChangesRewritesTheSameValues)
{
    FormHarness h;
    TForm1& f = h.Start();
    f.Options.CheckBox3.Click();
    f.Options.CheckBox3.Click();
    EXPECT_TRUE(f.Button2.Enabled());
    h.Apply();
    const std::string first = h.machine.registry.Dump();
    f.Options.CheckBox5.Click();
    f.Options.CheckBox5.Click();
    h.Apply();
    EXPECT_EQ(h.machine.registry.Dump(), first);
    EXPECT_TRUE(h.machine.dialogs.questions.empty());
}

}  // namespace
}  // namespace lumora
