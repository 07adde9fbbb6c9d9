// Apply refusing each of its writes in turn: the message, what stays written, what is not tried.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;
using testing::kTemplatesKey;

// A machine on which Apply makes every kind of write: the tweaks are on, the disk cache values
// are set, the user-defined template is chosen and its sub-key lacks its description.
void Prepare(FormHarness& h)
{
    auto& r = h.machine.registry;
    r.PutDword("HKLM\\System\\CurrentControlSet\\Control\\FileSystem", "ContigFileAllocSize", 512);
    r.PutString(kTemplatesKey, "", "Lumora");
    r.Put(std::string(kTemplatesKey) + "\\Lumora", "NameCache", kRegBinary, {0, 4, 0, 0});
    h.machine.profile.Put("386Enh", "PageBuffers", "32");
    h.machine.profile.Put("386Enh", "ConservativeSwapfileUsage", "1");
    h.machine.profile.Put("vcache", "MinFileCache", "2048");
    h.machine.profile.Put("vcache", "MaxFileCache", "8192");
    h.machine.profile.Put("vcache", "CHUNKSIZE", "512");
}

// Starts, makes a tuning change (so a restart would be offered), chooses the own template on
// the File Cache page (so the save writes it) and clears the record.
TForm1& StartAndChange(FormHarness& h)
{
    Prepare(h);
    TForm1& f = h.Start();
    f.Tweak.CheckBox10.Click();
    f.Tweak.CheckBox10.Click();
    f.FileCache.ComboBox2.UserSelect(0);
    h.machine.attempts.clear();
    return f;
}

std::string MessageFor(const std::string& attempt)
{
    if (attempt.rfind("ini ", 0) == 0) return "Unable to write to SYSTEM.INI";
    return "Failed to set data for '" + attempt.substr(attempt.find_last_of('\\') + 1) + "'";
}

TEST(FaultMatrix, EveryRefusedWriteOfApplyStopsItWithItsMessage)
{
    std::vector<std::string> all;
    {
        FormHarness h;
        TForm1& f = StartAndChange(h);
        h.Apply();
        ASSERT_TRUE(h.machine.dialogs.errors.empty());
        ASSERT_EQ(h.machine.dialogs.questions.size(), 1u);
        ASSERT_FALSE(f.Button2.Enabled());
        all = h.machine.attempts;
    }
    // Every kind of place is among the writes.
    for (const char* expected : {"ContigFileAllocSize", "ini 386Enh.PageBuffers", "FS Templates\\", "Lumora\\NameCache",
                                 "ini vcache.CHUNKSIZE", "Run\\Lumora", "Lumora\\AutoStart", "Lumora\\Update"}) {
        bool found = false;
        for (const auto& a : all) found = found || a.find(expected) != std::string::npos;
        EXPECT_TRUE(found) << expected;
    }

    for (std::size_t refused = 0; refused < all.size(); ++refused) {
        FormHarness h;
        TForm1& f = StartAndChange(h);
        int registryWrites = 0;
        int iniWrites = 0;
        for (std::size_t i = 0; i < refused; ++i) (all[i].rfind("reg ", 0) == 0 ? registryWrites : iniWrites)++;
        if (all[refused].rfind("reg ", 0) == 0) {
            h.machine.registry.refuseSetNumber = h.machine.registry.setCalls + registryWrites;
        } else {
            h.machine.profile.refuseWriteNumber = h.machine.profile.writeCalls + iniWrites;
        }
        h.Apply();

        const std::string& which = all[refused];
        EXPECT_EQ(h.machine.dialogs.errors, std::vector<std::string>{MessageFor(which)}) << "refusing " << which;
        const std::vector<std::string> tried(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(refused) + 1);
        EXPECT_EQ(h.machine.attempts, tried) << "refusing " << which;
        EXPECT_TRUE(f.Button2.Enabled()) << "refusing " << which;
        EXPECT_TRUE(h.machine.dialogs.questions.empty()) << "refusing " << which;
        if (which.find("\\Update") == std::string::npos) {
            EXPECT_FALSE(h.machine.registry.Has(kAgentKey, "Update")) << "refusing " << which;
        }
        if (refused > 0 && all[refused - 1].rfind("reg ", 0) == 0) {
            const std::string& before = all[refused - 1];
            const std::string path = before.substr(4);
            const auto cut = path.find_last_of('\\');
            EXPECT_TRUE(h.machine.registry.Has(path.substr(0, cut), path.substr(cut + 1)))
                << "the write before " << which << " stays";
        }
    }
}

}  // namespace
}  // namespace lumora
