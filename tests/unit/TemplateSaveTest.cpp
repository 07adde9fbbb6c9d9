// The file-system template step of Apply: left alone unless the File Cache page was edited, and
// skipped on the NT family, which keeps no templates.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "unit/TuningHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;
using testing::kOwnTemplateKey;
using testing::kTemplatesKey;
using testing::Raw;
using testing::TemplateKey;
using Lines = std::vector<std::string>;

// The FS Templates key and everything below it, one line per key and value.
std::string TemplatesTree(const fakes::FakeRegistry& registry)
{
    const std::string prefix = fakes::Lower(kTemplatesKey);
    std::istringstream dump(registry.Dump());
    std::string out;
    for (std::string line; std::getline(dump, line);) {
        if (fakes::Lower(line).rfind(prefix, 0) == 0) out += line + "\n";
    }
    return out;
}

struct Machine {
    const char* name;
    std::function<void(fakes::FakeRegistry&)> store;
};

// Machines whose page shows "User Defined" without the user having chosen it.
std::vector<Machine> UnchosenUserDefined()
{
    return {
        {"no selection", [](auto&) {}},
        {"unknown name with a sub-key",
         [](auto& r) {
             r.PutString(kTemplatesKey, "", "Custom");
             r.Put(TemplateKey("Custom"), "NameCache", kRegBinary, Raw({0x00, 0x08}));
             r.Put(TemplateKey("Custom"), "PathCache", kRegBinary, Raw({0x10, 0, 0, 0}));
         }},
        {"unknown name without a sub-key", [](auto& r) { r.PutString(kTemplatesKey, "", "Gone"); }},
        {"role name in other case", [](auto& r) { r.PutString(kTemplatesKey, "", "desktop"); }},
        {"selection stored as a DWORD", [](auto& r) { r.PutDword(kTemplatesKey, "", 1); }},
        {"own template with a short size and no description",
         [](auto& r) {
             r.PutString(kTemplatesKey, "", "Lumora");
             r.Put(kOwnTemplateKey, "NameCache", kRegBinary, Raw({0x00, 0x04}));
         }},
    };
}

TEST(TemplateSave, ApplyWithoutAFileCacheEditLeavesTheTemplatesByteForByte)
{
    const struct {
        const char* name;
        std::function<void(TForm1&)> edit;
        bool restart;
    } edits[] = {
        {"clipboard box", [](TForm1& f) { f.Options.CheckBox5.Click(); }, false},
        {"page buffers box", [](TForm1& f) { f.Tweak.CheckBox9.Click(); }, true},
    };
    for (const auto& machine : UnchosenUserDefined()) {
        for (const auto& edit : edits) {
            FormHarness h(64);
            machine.store(h.machine.registry);
            TForm1& f = h.Start();
            const std::string label = std::string(machine.name) + ", " + edit.name;
            ASSERT_EQ(f.FileCache.ComboBox2.ItemIndex(), 0) << label;
            const std::string before = TemplatesTree(h.machine.registry);
            edit.edit(f);
            h.Apply();
            EXPECT_TRUE(h.machine.dialogs.errors.empty()) << label;
            EXPECT_EQ(TemplatesTree(h.machine.registry), before) << label;
            EXPECT_EQ(h.machine.dialogs.questions.size(), edit.restart ? 1u : 0u) << label;
            EXPECT_EQ(h.machine.registry.Dword(kAgentKey, "Update"), 1u) << label;
            EXPECT_EQ(f.FileCache.ComboBox2.ItemIndex(), 0) << label;
        }
    }
}

TEST(TemplateSave, AFileCacheEditSavesTheOwnTemplateOrTheRoleAndTheReloadForgetsTheEdit)
{
    const struct {
        const char* name;
        std::function<void(TForm1&)> edit;
        const char* selected;
        std::vector<std::uint8_t> nameCache;  // of the own template; empty: not written
    } cases[] = {
        {"name slider moved", [](TForm1& f) { f.FileCache.RxSlider6.KeyDown(SliderKey::Right); }, "Lumora",
         Raw({0, 4, 0, 0})},
        {"directory slider moved and back",
         [](TForm1& f) {
             f.FileCache.RxSlider7.KeyDown(SliderKey::Right);
             f.FileCache.RxSlider7.KeyDown(SliderKey::Left);
         },
         "Lumora", Raw({0, 0, 0, 0})},
        {"User Defined chosen", [](TForm1& f) { f.FileCache.ComboBox2.UserSelect(0); }, "Lumora", Raw({0, 0, 0, 0})},
        {"Automatic", [](TForm1& f) { f.FileCache.Button6.Click(); }, "Server", {}},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        TForm1& f = h.Start();
        c.edit(f);
        h.machine.dialogs.answerYes = false;
        h.Apply();
        EXPECT_TRUE(h.machine.dialogs.errors.empty()) << c.name;
        EXPECT_EQ(h.machine.registry.String(kTemplatesKey, ""), c.selected) << c.name;
        if (c.nameCache.empty()) {
            EXPECT_FALSE(h.machine.registry.KeyExists(kOwnTemplateKey)) << c.name;
        } else {
            ASSERT_TRUE(h.machine.registry.Has(kOwnTemplateKey, "NameCache")) << c.name;
            EXPECT_EQ(h.machine.registry.Find(kOwnTemplateKey, "NameCache")->data, c.nameCache) << c.name;
            EXPECT_EQ(h.machine.registry.String(kOwnTemplateKey, ""), "Lumora Settings") << c.name;
        }

        // The edit was saved; an agent change alone now leaves what it stored.
        const std::string saved = TemplatesTree(h.machine.registry);
        const std::size_t mark = h.machine.registry.log.size();
        f.Options.CheckBox5.Click();
        h.Apply();
        EXPECT_EQ(TemplatesTree(h.machine.registry), saved) << c.name;
        const Lines writes = testing::TuningRegistryLog(h.machine.registry, mark);
        for (const auto& line : writes) {
            if (c.nameCache.empty()) {
                // A role is written back as it stands, as every Apply did.
                EXPECT_EQ(line, "set " + fakes::Lower(kTemplatesKey) + "\\") << c.name;
            } else {
                EXPECT_EQ(line.find("fs templates"), std::string::npos) << c.name << ": " << line;
            }
        }
    }
}

TEST(TemplateSave, MissingTemplatesKeyIsSkippedOnNtAndStopsTheSaveOnWindows9x)
{
    const struct {
        const char* name;
        std::uint32_t platform;
        bool versionOk;
        bool skipped;
    } cases[] = {
        {"NT", kPlatformNt, true, true},
        {"Windows 98", kPlatformWindows, true, false},
        {"version query refused", kPlatformNt, false, false},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        h.machine.system.os.platformId = c.platform;
        h.machine.registry.RemoveKey(kTemplatesKey);
        h.machine.profile.Put("vcache", "MaxFileCache", "8192");
        TForm1& f = h.Start();
        // Whatever the page shows, without the key it has nothing to edit.
        f.FileCache.RxSlider6.KeyDown(SliderKey::Right);
        f.Options.CheckBox5.Click();
        h.machine.system.versionOk = c.versionOk;
        h.machine.profile.log.clear();
        h.Apply();
        EXPECT_FALSE(h.machine.registry.KeyExists(kTemplatesKey)) << c.name;
        if (c.skipped) {
            EXPECT_TRUE(h.machine.dialogs.errors.empty()) << c.name;
            const Lines saved{"delete 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage=0",
                              "delete vcache.MinFileCache", "write vcache.MaxFileCache=8192",
                              "delete vcache.CHUNKSIZE"};
            EXPECT_EQ(h.machine.profile.log, saved) << c.name << ": the save goes on";
            EXPECT_EQ(h.machine.registry.Dword(kAgentKey, "AutoClearClipboard"), 1u) << c.name;
            EXPECT_EQ(h.machine.registry.Dword(kAgentKey, "Update"), 1u) << c.name;
            EXPECT_FALSE(f.Button2.Enabled()) << c.name;
        } else {
            EXPECT_EQ(h.machine.dialogs.errors, Lines{"Failed to set data for ''"}) << c.name;
            EXPECT_EQ(h.machine.profile.log,
                      (Lines{"delete 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage=0"}))
                << c.name << ": the save stopped before the cache entries";
            EXPECT_FALSE(h.machine.registry.Has(kAgentKey, "AutoClearClipboard")) << c.name;
            EXPECT_TRUE(f.Button2.Enabled()) << c.name;
        }
    }
}

}  // namespace
}  // namespace lumora
