// Loading and saving the tuning values: exact matches, stored forms, write order and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "unit/TuningHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;
using testing::kFileSystemKey;
using testing::kOwnTemplateKey;
using testing::kRunKey;
using testing::kTemplatesKey;
using testing::Raw;
using testing::TemplateKey;
using testing::TextBytes;
using testing::TuningRegistryLog;
using Lines = std::vector<std::string>;

const std::string kFs = "hklm\\system\\currentcontrolset\\control\\filesystem";
const std::string kTemplates = "hklm\\software\\microsoft\\windows\\currentversion\\fs templates";

std::string Boxes(const TForm1& f)
{
    std::string s;
    for (const TCheckBox* box : {&f.Tweak.CheckBox8, &f.Tweak.CheckBox9, &f.Tweak.CheckBox10}) {
        s += box->Checked() ? '1' : '0';
    }
    return s;
}

TEST(TuningStore, TweakBoxesAreCheckedOnlyByTheExactStoredValues)
{
    struct Case {
        const char* name;
        std::function<void(fakes::FakeMachine&)> store;
        const char* boxes;
        std::int32_t contig;
    };
    const std::vector<Case> cases = {
        {"nothing stored", [](auto&) {}, "000", 0},
        {"all three set",
         [](auto& m) {
             m.registry.PutDword(kFileSystemKey, "ContigFileAllocSize", 512);
             m.profile.Put("386Enh", "PageBuffers", "32");
             m.profile.Put("386Enh", "ConservativeSwapfileUsage", "1");
         },
         "111", 512},
        {"DWORD 256", [](auto& m) { m.registry.PutDword(kFileSystemKey, "ContigFileAllocSize", 256); }, "000", 256},
        {"512 as binary",
         [](auto& m) {
             m.registry.Put(kFileSystemKey, "ContigFileAllocSize", kRegBinary, Raw({0, 2, 0, 0}));
         },
         "000", 0},
        {"512 as text", [](auto& m) { m.registry.PutString(kFileSystemKey, "ContigFileAllocSize", "512"); }, "000", 0},
        {"PageBuffers 16", [](auto& m) { m.profile.Put("386Enh", "PageBuffers", "16"); }, "000", 0},
        {"PageBuffers with a blank", [](auto& m) { m.profile.Put("386Enh", "PageBuffers", "32 "); }, "000", 0},
        {"PageBuffers 032", [](auto& m) { m.profile.Put("386Enh", "PageBuffers", "032"); }, "000", 0},
        {"swap 01", [](auto& m) { m.profile.Put("386Enh", "ConservativeSwapfileUsage", "01"); }, "000", 0},
        {"swap yes", [](auto& m) { m.profile.Put("386Enh", "ConservativeSwapfileUsage", "yes"); }, "000", 0},
        {"swap empty", [](auto& m) { m.profile.Put("386Enh", "ConservativeSwapfileUsage", ""); }, "000", 0},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        c.store(h.machine);
        TForm1& f = h.Start();
        EXPECT_EQ(Boxes(f), c.boxes) << c.name;
        EXPECT_EQ(f.Tuning.ContigAllocSize, c.contig) << c.name;
        EXPECT_FALSE(f.RestartPending) << c.name;
        EXPECT_FALSE(f.Button2.Enabled()) << c.name;
    }
}

TEST(TuningStore, TemplateRoleFollowsTheDefaultNameWithCaseAndDesktopHasFixedSizes)
{
    struct Case {
        const char* name;
        std::function<void(fakes::FakeRegistry&)> store;
        const char* shown;  // TemplateName|item|name size|path size|positions|labels
    };
    auto name = [](const char* n) { return [n](fakes::FakeRegistry& r) { r.PutString(kTemplatesKey, "", n); }; };
    const std::vector<Case> cases = {
        {"Desktop", name("Desktop"), "Desktop|1|677|32|1,4|677,32"},
        {"desktop", name("desktop"), "desktop|0|5000|100|9,12|5000,100"},
        {"DESKTOP", name("DESKTOP"), "DESKTOP|0|5000|100|9,12|5000,100"},
        {"Mobile", name("Mobile"), "Mobile|2|337|16|0,2|337,16"},
        {"Server", name("Server"), "Server|3|2729|64|5,8|2729,64"},
        {"server", name("server"), "server|0|2729|64|5,8|2729,64"},
        {"Lumora", name("Lumora"), "Lumora|0|1024|40|2,5|1024,40"},
        {"no sub-key: the FS Templates key is read", name("Nowhere"), "Nowhere|0|1536|0|3,0|1536,0"},
        {"empty name", name(""), "|0|1536|0|3,0|1536,0"},
        {"missing default", [](auto&) {}, "|0|1536|0|3,0|1536,0"},
        {"default as DWORD", [](auto& r) { r.PutDword(kTemplatesKey, "", 7); }, "|0|1536|0|3,0|1536,0"},
        {"expandable text", [](auto& r) { r.Put(kTemplatesKey, "", kRegExpandSz, TextBytes("Mobile")); },
         "Mobile|2|337|16|0,2|337,16"},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        auto& r = h.machine.registry;
        r.Put(TemplateKey("Desktop"), "NameCache", kRegBinary, Raw({0x88, 0x13, 0, 0}));  // 5000
        r.Put(TemplateKey("Desktop"), "PathCache", kRegBinary, Raw({100, 0, 0, 0}));
        r.Put(kOwnTemplateKey, "NameCache", kRegBinary, Raw({0, 4, 0, 0}));
        r.Put(kOwnTemplateKey, "PathCache", kRegBinary, Raw({40, 0, 0, 0}));
        r.Put(kTemplatesKey, "NameCache", kRegBinary, Raw({0, 6, 0, 0}));  // 1536
        c.store(r);
        TForm1& f = h.Start();
        const auto& file = f.FileCache;
        const auto& tuning = f.Tuning;
        const std::string shown = tuning.TemplateName + "|" + std::to_string(file.ComboBox2.ItemIndex()) + "|" +
                                  std::to_string(tuning.NameCacheSize) + "|" + std::to_string(tuning.PathCacheSize) +
                                  "|" + std::to_string(file.RxSlider6.Value()) + "," +
                                  std::to_string(file.RxSlider7.Value()) + "|" + file.Label4.Caption() + "," +
                                  file.Label5.Caption();
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_EQ(file.ComboBox2.Text(), file.ComboBox2.Items()[static_cast<std::size_t>(file.ComboBox2.ItemIndex())]);
        EXPECT_FALSE(f.RestartPending) << c.name;
    }
}

TEST(TuningStore, TemplateSizeOverlaysTheStoredBytesOnTheFieldAndFailsToZero)
{
    constexpr std::int32_t kBefore = 0x11223344;
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
        bool stored;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"missing", kRegBinary, {}, false, kBefore},
        {"0 bytes", kRegBinary, {}, true, kBefore},
        {"2 bytes replace the low two", kRegBinary, Raw({0xA5, 0x02}), true, 0x112202A5},
        {"3 bytes replace the low three", kRegBinary, Raw({0x01, 0x02, 0x03}), true, 0x11030201},
        {"4 bytes", kRegBinary, Raw({0xA5, 0x02, 0, 0}), true, 677},
        {"5 bytes", kRegBinary, Raw({0xA5, 0x02, 0, 0, 0}), true, 0},
        {"DWORD", kRegDword, Raw({0xA5, 0x02, 0, 0}), true, 0},
        {"string", kRegSz, TextBytes("677"), true, 0},
        {"untyped", kRegNone, Raw({0, 4, 0, 0}), true, 1024},
        {"negative", kRegBinary, Raw({0xFF, 0xFF, 0xFF, 0xFF}), true, -1},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        h.machine.registry.PutString(kTemplatesKey, "", "Custom");
        h.machine.registry.Put(TemplateKey("Custom"), "PathCache", kRegBinary, Raw({8, 0, 0, 0}));
        if (c.stored) h.machine.registry.Put(TemplateKey("Custom"), "NameCache", c.type, c.bytes);
        TForm1& f = h.Start();
        f.Tuning.NameCacheSize = kBefore;
        f.Tuning.Load(h.machine.ports.registry, h.machine.ports.profile);
        f.Tweak.ShowLoaded(f.Tuning);
        f.FileCache.ShowLoaded(f.Tuning);
        EXPECT_EQ(f.Tuning.NameCacheSize, c.expected) << c.name;
        EXPECT_EQ(f.FileCache.Label4.Caption(), std::to_string(c.expected)) << c.name;
        const std::int32_t position = std::max(0, std::min(12, c.expected / 512));
        EXPECT_EQ(f.FileCache.RxSlider6.Value(), position) << c.name;
        EXPECT_EQ(f.Tuning.PathCacheSize, 8) << c.name;
    }
}

TEST(TuningStore, DiskCacheTextsGivePositionsAndOddTextsStayAsStoredWhereNoSliderMoves)
{
    struct Case {
        const char* stored;  // nullptr: missing
        int position;
        const char* text;
        const char* saved;  // nullptr: missing after the save
    };
    // Each vcache value with its slider, the text it keeps and the label that shows it.
    struct Value {
        const char* key;
        TRxSlider DiskCachePage::*slider;
        std::string TuningStore::*text;
        TLabel DiskCachePage::*shown;
        std::vector<Case> cases;
    };
    const Value values[] = {
        {"MinFileCache",
         &DiskCachePage::RxSlider3,
         &TuningStore::MinFileCacheText,
         &DiskCachePage::Label16,
         {
             {"3000", 2, "2048", "2048"},
             {"1000", 0, "1000", "1000"},
             {"abc", 0, "abc", "abc"},
             {"", 0, "", ""},
             {"-1024", 0, "-1024", "-1024"},
             {"99999999999999999999", 0, "99999999999999999999", "99999999999999999999"},
             {" 2048", 0, " 2048", " 2048"},
             {"+2048", 2, "2048", "2048"},
             {nullptr, 0, "0", nullptr},
             {"0", 0, "0", nullptr},
         }},
        {"MaxFileCache",
         &DiskCachePage::RxSlider4,
         &TuningStore::MaxFileCacheText,
         &DiskCachePage::Label17,
         {
             {"70000", 64, "65536", "65536"},
             {"2147483647", 64, "65536", "65536"},
         }},
        {"CHUNKSIZE",
         &DiskCachePage::RxSlider5,
         &TuningStore::ChunkSizeText,
         &DiskCachePage::Label30,
         {
             {"512", 16, "512", "512"},
             {"100", 3, "96", "96"},
             {"5000", 128, "4096", "4096"},
             {"31", 0, "31", "31"},
         }},
    };
    for (const Value& value : values) {
        for (const Case& c : value.cases) {
            const std::string label = std::string(value.key) + "=" + (c.stored ? c.stored : "<missing>");
            FormHarness h(64);
            if (c.stored) h.machine.profile.Put("vcache", value.key, c.stored);
            TForm1& f = h.Start();
            EXPECT_EQ((f.DiskCache.*value.slider).Value(), c.position) << label;
            EXPECT_EQ(f.Tuning.*value.text, c.text) << label;
            EXPECT_EQ((f.DiskCache.*value.shown).Caption(), std::string(c.text) + " kb") << label;
            h.Apply();
            EXPECT_TRUE(h.machine.dialogs.errors.empty()) << label;
            EXPECT_EQ(h.machine.profile.Get("vcache", value.key), c.saved ? c.saved : "<missing>") << label;
            EXPECT_TRUE(h.machine.dialogs.questions.empty()) << label << ": the reload moved no slider";
        }
    }
}

TEST(TuningStore, DiskCacheProfileIsRecognisedFromThePositionsFirstRowFirst)
{
    struct Case {
        const char *minimum, *maximum, *chunk;
        unsigned totalMB;
        int item;
    };
    const std::vector<Case> cases = {
        {"2048", "8192", "512", 64, 1}, {"4096", "12288", "1024", 64, 2}, {"2048", "6144", "4096", 64, 3},
        {"0", "6144", "2048", 128, 4},  {"0", "6144", "1024", 127, 4},    {"0", "6144", "2048", 127, 0},
        {"0", "6144", "1024", 128, 0},  {"5120", "5120", "256", 64, 5},   {"0", "4096", "256", 64, 6},
        {"3000", "8192", "520", 64, 1}, {"4096", "12288", "1024", 8, 0},  {"0", "0", "0", 64, 0},
        {"abc", "4096", "256", 64, 6},
    };
    for (const auto& c : cases) {
        const std::string label =
            std::string(c.minimum) + "/" + c.maximum + "/" + c.chunk + " with " + std::to_string(c.totalMB) + " MB";
        FormHarness h(c.totalMB);
        h.machine.profile.Put("vcache", "MinFileCache", c.minimum);
        h.machine.profile.Put("vcache", "MaxFileCache", c.maximum);
        h.machine.profile.Put("vcache", "CHUNKSIZE", c.chunk);
        TForm1& f = h.Start();
        EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), c.item) << label;
        const TComboBox& profiles = f.DiskCache.ComboBox1;
        EXPECT_EQ(profiles.Text(), profiles.Items()[static_cast<std::size_t>(c.item)]) << label;
    }
}

TEST(TuningStore, SaveWritesTheTweaksInOrderAndCreatesAMissingFileSystemKey)
{
    for (const bool checked : {true, false}) {
        fakes::FakeMachine m;
        m.system.SetMemoryMB(64, 20);
        m.registry.CreateKey(kRunKey);
        m.registry.CreateKey("HKLM\\SYSTEM\\CurrentControlSet\\Control");
        m.registry.PutString(kTemplatesKey, "", "Mobile");
        m.profile.Put("386Enh", "PageBuffers", "16");
        m.profile.Put("386Enh", "ConservativeSwapfileUsage", "1");
        CpuUsageMeter meter(m.ports);
        TForm1 f(m.ports, meter);
        f.Dispatch([&] { f.FormCreate(); });
        if (checked) {
            f.Tweak.CheckBox8.Click();
            f.Tweak.CheckBox9.Click();
        } else {
            f.Tweak.CheckBox10.Click();
        }
        const std::size_t registryMark = m.registry.log.size();
        const std::size_t profileMark = m.profile.log.size();
        f.Dispatch([&] { f.Button2Click(); });
        ASSERT_TRUE(m.dialogs.errors.empty()) << m.dialogs.errors.front();
        const Lines registry = TuningRegistryLog(m.registry, registryMark);
        const Lines expectedRegistry =
            checked ? Lines{"create hklm\\system\\currentcontrolset\\control\\FileSystem",
                            "set " + kFs + "\\ContigFileAllocSize", "set " + kTemplates + "\\"}
                    : Lines{"create hklm\\system\\currentcontrolset\\control\\FileSystem", "set " + kTemplates + "\\"};
        EXPECT_EQ(registry, expectedRegistry) << (checked ? "checked" : "unchecked");
        const Lines profile(m.profile.log.begin() + static_cast<std::ptrdiff_t>(profileMark), m.profile.log.end());
        const Lines expectedProfile =
            checked ? Lines{"write 386Enh.PageBuffers=32", "write 386Enh.ConservativeSwapfileUsage=1"}
                    : Lines{"delete 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage=0"};
        EXPECT_EQ(profile, expectedProfile) << (checked ? "checked" : "unchecked");
        EXPECT_EQ(m.registry.Dword(kFileSystemKey, "ContigFileAllocSize"), checked ? 512u : 0xDEADBEEFu);
        for (const auto& file : m.profile.files) EXPECT_EQ(file, "SYSTEM.INI");
    }
}

TEST(TuningStore, UncheckedContiguousAllocationDeletesTheValueEvenWhenStoredAsBinary)
{
    FormHarness h(64);
    h.machine.registry.Put(kFileSystemKey, "ContigFileAllocSize", kRegBinary, Raw({0, 2, 0, 0}));
    h.Start();
    h.Apply();
    EXPECT_FALSE(h.machine.registry.Has(kFileSystemKey, "ContigFileAllocSize"));
}

TEST(TuningStore, SaveWritesTheChosenTemplateOrTheOwnTemplateWithItsSizes)
{
    struct Case {
        const char* name;
        std::function<void(fakes::FakeRegistry&)> store;
        std::function<void(TForm1&)> edit;
        Lines writes;
        const char* defaultName;
    };
    const std::string own = kTemplates + "\\lumora";
    const Lines ownWrites = {"set " + kTemplates + "\\", "set " + own + "\\", "set " + own + "\\NameCache",
                             "set " + own + "\\PathCache"};
    const Lines ownKeptDescription = {"set " + kTemplates + "\\", "set " + own + "\\NameCache",
                                      "set " + own + "\\PathCache"};
    auto mobile = [](fakes::FakeRegistry& r) { r.PutString(kTemplatesKey, "", "Mobile"); };
    // With no template selected the page shows "User Defined"; the user chooses it again.
    auto chooseOwn = [](TForm1& f) { f.FileCache.ComboBox2.UserSelect(0); };
    const std::vector<Case> cases = {
        {"role kept", mobile, [](TForm1&) {}, {"set " + kTemplates + "\\"}, "Mobile"},
        {"text typed over a role",
         mobile,
         [](TForm1& f) { f.FileCache.ComboBox2.UserType("Laptop"); },
         {"set " + kTemplates + "\\"},
         "Mobile"},
        {"User Defined creates the own template", mobile, [](TForm1& f) { f.FileCache.ComboBox2.UserSelect(0); },
         Lines{"set " + kTemplates + "\\", "create " + kTemplates + "\\Lumora", "set " + own + "\\",
               "set " + own + "\\NameCache", "set " + own + "\\PathCache"},
         "Lumora"},
        {"description already exact", [](auto& r) { r.PutString(kOwnTemplateKey, "", "Lumora Settings"); }, chooseOwn,
         ownKeptDescription, "Lumora"},
        {"description as expandable text",
         [](auto& r) { r.Put(kOwnTemplateKey, "", kRegExpandSz, TextBytes("Lumora Settings")); }, chooseOwn,
         ownKeptDescription, "Lumora"},
        {"description in other case", [](auto& r) { r.PutString(kOwnTemplateKey, "", "lumora settings"); }, chooseOwn,
         ownWrites, "Lumora"},
        {"description empty", [](auto& r) { r.PutString(kOwnTemplateKey, "", ""); }, chooseOwn, ownWrites, "Lumora"},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        c.store(h.machine.registry);
        TForm1& f = h.Start();
        c.edit(f);
        const std::size_t mark = h.machine.registry.log.size();
        h.Apply();
        ASSERT_TRUE(h.machine.dialogs.errors.empty()) << c.name << ": " << h.machine.dialogs.errors.front();
        EXPECT_EQ(TuningRegistryLog(h.machine.registry, mark), c.writes) << c.name;
        EXPECT_EQ(h.machine.registry.String(kTemplatesKey, ""), c.defaultName) << c.name;
        EXPECT_EQ(h.machine.registry.Find(TemplateKey("Mobile"), "NameCache")->data, Raw({0x51, 0x01, 0, 0}))
            << c.name << ": a role's own template is never rewritten";
    }
}

TEST(TuningStore, OwnTemplateStoresBothSizesAsFourLittleEndianBytes)
{
    FormHarness h(64);
    h.machine.registry.PutString(kTemplatesKey, "", "Server");
    TForm1& f = h.Start();
    f.FileCache.ComboBox2.UserSelect(0);
    h.Apply();
    const auto* name = h.machine.registry.Find(kOwnTemplateKey, "NameCache");
    const auto* path = h.machine.registry.Find(kOwnTemplateKey, "PathCache");
    ASSERT_TRUE(name && path);
    EXPECT_EQ(name->type, kRegBinary);
    EXPECT_EQ(name->data, Raw({0xA9, 0x0A, 0, 0}));
    EXPECT_EQ(path->type, kRegBinary);
    EXPECT_EQ(path->data, Raw({0x40, 0, 0, 0}));
    EXPECT_EQ(h.machine.registry.String(kOwnTemplateKey, ""), "Lumora Settings");
    EXPECT_EQ(f.FileCache.ComboBox2.ItemIndex(), 0);
    EXPECT_EQ(f.Tuning.NameCacheSize, 2729) << "the reload keeps the exact size off the slider's grid";
}

// A save that stops inside the templates step: what was written before stays, nothing after.
struct StoppedSave {
    const char* name;
    std::function<void(FormHarness&)> prepare;
    const char* message;
    Lines templateWrites;
};

TEST(TuningStore, TemplateFailuresStopTheSaveWithTheirMessages)
{
    const std::vector<StoppedSave> cases = {
        {"own template's description is a DWORD",
         [](FormHarness& h) { h.machine.registry.PutDword(kOwnTemplateKey, "", 1); },
         "Invalid data type for ''",
         {"set " + kTemplates + "\\"}},
        {"own template cannot be opened or created",
         [](FormHarness& h) { h.machine.registry.refuseOpen.insert(fakes::Lower(kOwnTemplateKey)); },
         "Failed to set data for 'NameCache'",
         {"set " + kTemplates + "\\"}},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        h.machine.profile.Put("vcache", "MinFileCache", "2048");
        c.prepare(h);
        TForm1& f = h.Start();
        f.Tweak.CheckBox9.Click();
        f.FileCache.ComboBox2.UserSelect(0);
        const std::size_t mark = h.machine.registry.log.size();
        h.machine.profile.log.clear();
        h.Apply();
        EXPECT_EQ(h.machine.dialogs.errors, Lines{c.message}) << c.name;
        EXPECT_EQ(TuningRegistryLog(h.machine.registry, mark), c.templateWrites) << c.name;
        EXPECT_EQ(h.machine.profile.log,
                  (Lines{"write 386Enh.PageBuffers=32", "write 386Enh.ConservativeSwapfileUsage=0"}))
            << c.name;
        EXPECT_EQ(h.machine.registry.String(kTemplatesKey, ""), "Lumora") << c.name;
        EXPECT_FALSE(h.machine.registry.Has(kTemplatesKey, "NameCache")) << c.name;
        EXPECT_FALSE(h.machine.registry.Has(kTemplatesKey, "PathCache")) << c.name;
        EXPECT_FALSE(h.machine.registry.Has(kAgentKey, "Update")) << c.name;
        EXPECT_TRUE(f.Button2.Enabled()) << c.name;
    }
}

TEST(TuningStore, MissingTemplatesKeyStopsTheSaveAfterTheTweaks)
{
    fakes::FakeMachine m;
    m.system.SetMemoryMB(64, 20);
    m.registry.CreateKey(kRunKey);
    m.registry.CreateKey(kFileSystemKey);
    m.profile.Put("vcache", "MaxFileCache", "8192");
    CpuUsageMeter meter(m.ports);
    TForm1 f(m.ports, meter);
    f.Dispatch([&] { f.FormCreate(); });
    ASSERT_TRUE(m.dialogs.errors.empty());
    f.Tweak.CheckBox8.Click();
    f.Tweak.CheckBox10.Click();
    f.Dispatch([&] { f.Button2Click(); });
    EXPECT_EQ(m.dialogs.errors, Lines{"Failed to set data for ''"});
    EXPECT_EQ(m.registry.Dword(kFileSystemKey, "ContigFileAllocSize"), 512u);
    EXPECT_EQ(m.profile.log, (Lines{"write 386Enh.ConservativeSwapfileUsage=1"}));
    EXPECT_FALSE(m.registry.KeyExists(kTemplatesKey));
    EXPECT_FALSE(m.registry.Has(kAgentKey, "Update"));
    EXPECT_TRUE(m.dialogs.questions.empty());
}

// Every tuning write refused in turn, all in one state where each of them is made.
// Windows 9x keeps profile writes in a cache until the file is flushed.
TEST(TuningStore, EveryApplyFlushesSystemIniOnceAfterItsLastChange)
{
    struct Case {
        const char* name;
        std::function<void(FormHarness&)> prepare;
        Lines changes;  // one Apply's SYSTEM.INI changes and flush
        Lines errors;   // one Apply's
    };
    const Lines tweaksOff = {"delete 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage"};
    const Lines cacheDeleted = {"delete vcache.MinFileCache", "delete vcache.MaxFileCache", "delete vcache.CHUNKSIZE"};
    const Lines cacheWritten = {"write vcache.MinFileCache", "write vcache.MaxFileCache", "write vcache.CHUNKSIZE"};
    auto join = [](std::initializer_list<Lines> parts) {
        Lines all;
        for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const std::vector<Case> cases = {
        {"nothing stored: the last change is a delete",
         [](FormHarness&) {},
         join({tweaksOff, cacheDeleted, {"flush SYSTEM.INI"}}),
         {}},
        {"disk cache set: the last change is a write",
         [](FormHarness& h) {
             h.machine.profile.Put("vcache", "MinFileCache", "2048");
             h.machine.profile.Put("vcache", "MaxFileCache", "8192");
             h.machine.profile.Put("vcache", "CHUNKSIZE", "512");
         },
         join({tweaksOff, cacheWritten, {"flush SYSTEM.INI"}}),
         {}},
        {"Windows 9x without the templates key: the save stops after the tweaks",
         [](FormHarness& h) {
             h.machine.registry.RemoveKey(kTemplatesKey);
             h.machine.profile.Put("vcache", "MinFileCache", "2048");
         },
         join({tweaksOff, {"flush SYSTEM.INI"}}),
         {"Failed to set data for ''"}},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        c.prepare(h);
        h.Start();
        const std::size_t mark = h.machine.profile.changes.size();
        ASSERT_EQ(std::count(h.machine.profile.changes.begin(), h.machine.profile.changes.end(), "flush SYSTEM.INI"), 0)
            << c.name << ": start-up only reads";
        Lines expectedChanges, expectedErrors;
        for (int apply = 0; apply < 2; ++apply) {
            h.Apply();
            expectedChanges.insert(expectedChanges.end(), c.changes.begin(), c.changes.end());
            expectedErrors.insert(expectedErrors.end(), c.errors.begin(), c.errors.end());
        }
        EXPECT_EQ(h.machine.dialogs.errors, expectedErrors) << c.name;
        EXPECT_EQ(Lines(h.machine.profile.changes.begin() + static_cast<std::ptrdiff_t>(mark),
                        h.machine.profile.changes.end()),
                  expectedChanges)
            << c.name;
    }
}

TEST(TuningStore, ARefusedTuningWriteKeepsEarlierWritesAttemptsNoLaterOneAndFailsTheApply)
{
    struct Write {
        bool registry;
        std::string line;
        const char* message;
    };
    const std::string own = kTemplates + "\\lumora";
    const std::vector<Write> writes = {
        {true, "set " + kFs + "\\ContigFileAllocSize", "Failed to set data for 'ContigFileAllocSize'"},
        {false, "write 386Enh.PageBuffers=32", "Unable to write to SYSTEM.INI"},
        {false, "write 386Enh.ConservativeSwapfileUsage=1", "Unable to write to SYSTEM.INI"},
        {true, "set " + kTemplates + "\\", "Failed to set data for ''"},
        {true, "set " + own + "\\", "Failed to set data for ''"},
        {true, "set " + own + "\\NameCache", "Failed to set data for 'NameCache'"},
        {true, "set " + own + "\\PathCache", "Failed to set data for 'PathCache'"},
        {false, "write vcache.MinFileCache=2048", "Unable to write to SYSTEM.INI"},
        {false, "write vcache.MaxFileCache=8192", "Unable to write to SYSTEM.INI"},
        {false, "write vcache.CHUNKSIZE=512", "Unable to write to SYSTEM.INI"},
    };
    for (std::size_t refused = 0; refused < writes.size(); ++refused) {
        FormHarness h(64);
        auto& r = h.machine.registry;
        auto& p = h.machine.profile;
        r.PutDword(kFileSystemKey, "ContigFileAllocSize", 512);
        p.Put("386Enh", "PageBuffers", "32");
        p.Put("386Enh", "ConservativeSwapfileUsage", "1");
        r.PutString(kTemplatesKey, "", "Lumora");
        r.PutString(kOwnTemplateKey, "", "old");
        p.Put("vcache", "MinFileCache", "2048");
        p.Put("vcache", "MaxFileCache", "8192");
        p.Put("vcache", "CHUNKSIZE", "512");
        TForm1& f = h.Start();
        f.DiskCache.ComboBox1.UserSelect(0);  // a tuning change that changes no value
        f.FileCache.ComboBox2.UserSelect(0);  // the own template chosen on its page, so the save writes it
        const std::size_t registryMark = r.log.size();
        const std::size_t profileMark = p.log.size();
        const int registryCalls = r.setCalls;
        const int profileCalls = p.writeCalls;
        const std::size_t changesMark = p.changes.size();
        Lines expectedRegistry, expectedProfile;
        int registryIndex = 0, profileIndex = 0;
        for (std::size_t i = 0; i < refused; ++i) {
            (writes[i].registry ? expectedRegistry : expectedProfile).push_back(writes[i].line);
            ++(writes[i].registry ? registryIndex : profileIndex);
        }
        if (writes[refused].registry) {
            r.refuseSetNumber = registryCalls + registryIndex;
        } else {
            p.refuseWriteNumber = profileCalls + profileIndex;
        }
        h.Apply();
        const std::string label = "refusing " + writes[refused].line;
        EXPECT_EQ(h.machine.dialogs.errors, Lines{writes[refused].message}) << label;
        EXPECT_EQ(TuningRegistryLog(r, registryMark), expectedRegistry) << label;
        EXPECT_EQ(Lines(p.log.begin() + static_cast<std::ptrdiff_t>(profileMark), p.log.end()), expectedProfile)
            << label;
        EXPECT_EQ(r.setCalls - registryCalls, registryIndex + (writes[refused].registry ? 1 : 0))
            << label << ": no registry write after the refused one";
        EXPECT_EQ(p.writeCalls - profileCalls, profileIndex + (writes[refused].registry ? 0 : 1))
            << label << ": no SYSTEM.INI write after the refused one";
        // What was written before the refusal reaches the disk: one flush after the last
        // SYSTEM.INI write tried, unless the save stopped before it came to the file.
        Lines expectedChanges;
        for (std::size_t i = 0; i <= refused; ++i) {
            if (!writes[i].registry) expectedChanges.push_back(writes[i].line.substr(0, writes[i].line.find('=')));
        }
        if (refused > 0) expectedChanges.push_back("flush SYSTEM.INI");
        EXPECT_EQ(Lines(p.changes.begin() + static_cast<std::ptrdiff_t>(changesMark), p.changes.end()), expectedChanges)
            << label;
        EXPECT_FALSE(r.Has(kAgentKey, "Update")) << label;
        EXPECT_TRUE(h.machine.dialogs.questions.empty()) << label;
        EXPECT_TRUE(f.Button2.Enabled()) << label;
        EXPECT_TRUE(f.RestartPending) << label;
    }
}

}  // namespace
}  // namespace lumora
