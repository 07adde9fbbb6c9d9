// The registry and INI adapters against the in-memory ports: types, sizes, names and errors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/ErrorOf.h"
#include "core/Exception.h"
#include "fakes/FakePorts.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"

namespace lumora {
namespace {

using fakes::FakeMachine;
using Bytes = std::vector<std::uint8_t>;

const char* const kKey = "HKCU\\Software\\Lumora";

using testing::ErrorOf;

struct Stored {
    const char* what;
    std::uint32_t type;
    Bytes data;
};

// One stored value of every kind the readers meet.
std::vector<Stored> StoredKinds()
{
    return {
        {"dword 7", kRegDword, {7, 0, 0, 0}},
        {"double 3", kRegBinary, {0, 0, 0, 0, 0, 0, 8, 0x40}},
        {"binary 7 bytes", kRegBinary, {0, 0, 0, 0, 0, 0, 8}},
        {"binary 9 bytes", kRegBinary, {0, 0, 0, 0, 0, 0, 8, 0x40, 0}},
        {"binary 2 bytes", kRegBinary, {0x34, 0x12}},
        {"string", kRegSz, {'a', 'b', 0}},
        {"expand string", kRegExpandSz, {'%', 'W', '%', 0}},
        {"empty string", kRegSz, {}},
        {"untyped 3 bytes", kRegNone, {1, 2, 3}},
        {"multi string", 7, {'a', 0, 0}},
        {"big-endian dword", 5, {0, 0, 0, 7}},
    };
}

TEST(RegistryAdapter, EveryReaderAgainstEveryStoredKind)
{
    // Expected results per stored kind: integer, number, text, 4-byte binary.
    struct Expect {
        const char* integer;
        const char* number;
        const char* text;
        const char* binary;
    };
    const Expect expected[] = {
        {"7", "invalid", "invalid", "invalid"},
        {"invalid", "3", "invalid", "8 bytes too long"},
        {"invalid", "invalid", "invalid", "invalid"},
        {"invalid", "invalid", "invalid", "invalid"},
        {"invalid", "invalid", "invalid", "2:3412bdbd"},
        {"invalid", "invalid", "ab", "invalid"},
        {"invalid", "invalid", "%W%", "invalid"},
        {"invalid", "invalid", "", "invalid"},
        {"invalid", "invalid", "invalid", "3:010203bd"},
        // Binary data is only ever binary or untyped: a list of texts or a big-endian number
        // is no name cache size.
        {"invalid", "invalid", "invalid", "invalid"},
        {"invalid", "invalid", "invalid", "invalid"},
    };
    const auto kinds = StoredKinds();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        FakeMachine m;
        m.registry.Put(kKey, "Value", kinds[i].type, kinds[i].data);
        TRegistry reg(m.registry);
        reg.SetRootKey(RegRoot::CurrentUser);
        ASSERT_TRUE(reg.OpenKey("Software\\Lumora", false));
        const std::string invalid = "Invalid data type for 'Value'";
        const auto show = [&](const std::function<std::string()>& read) {
            try {
                return read();
            } catch (const Exception& e) {
                return std::string(e.what()) == invalid ? std::string("invalid") : std::string(e.what());
            }
        };
        SCOPED_TRACE(kinds[i].what);
        EXPECT_EQ(show([&] { return std::to_string(reg.ReadInteger("Value")); }), expected[i].integer);
        EXPECT_EQ(show([&] {
                      const double v = reg.ReadFloat("Value");
                      return std::to_string(static_cast<int>(v));
                  }),
                  expected[i].number);
        EXPECT_EQ(show([&] { return reg.ReadString("Value"); }), expected[i].text);
        const std::string binary = show([&] {
            std::uint8_t buffer[4];
            std::memset(buffer, 0xbd, sizeof buffer);
            const std::size_t n = reg.ReadBinaryData("Value", buffer, sizeof buffer);
            char text[32];
            std::snprintf(text, sizeof text, "%zu:%02x%02x%02x%02x", n, buffer[0], buffer[1], buffer[2], buffer[3]);
            return std::string(text);
        });
        if (std::string(expected[i].binary) == "8 bytes too long") {
            EXPECT_EQ(binary, "invalid");
        } else {
            EXPECT_EQ(binary, expected[i].binary);
        }
    }
}

// The adapter at the current user's root, on a machine where the agent key exists.
struct AgentKeyMachine {
    FakeMachine m;
    TRegistry reg{m.registry};

    AgentKeyMachine()
    {
        m.registry.CreateKey(kKey);
        reg.SetRootKey(RegRoot::CurrentUser);
    }
};

TEST(RegistryAdapter, MissingValuesReadAsDefinedOrFail)
{
    AgentKeyMachine machine;
    TRegistry& reg = machine.reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Lumora", false));
    EXPECT_FALSE(reg.ValueExists("Nothing"));
    EXPECT_EQ(reg.ReadString("Nothing"), "");
    std::uint8_t buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
    EXPECT_EQ(reg.ReadBinaryData("Nothing", buffer, 4), 0u);
    EXPECT_EQ(buffer[0], 0xbd) << "a missing value leaves the buffer untouched";
    EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Nothing"); }), "Invalid data type for 'Nothing'");
    EXPECT_EQ(ErrorOf([&] { reg.ReadFloat("Nothing"); }), "Invalid data type for 'Nothing'");
}

TEST(RegistryAdapter, NamesMatchWithoutRegardToCase)
{
    AgentKeyMachine machine;
    TRegistry& reg = machine.reg;
    ASSERT_TRUE(reg.OpenKey("software\\LUMORA", true));
    reg.WriteInteger("Disable_CPU_Detect", 1);
    EXPECT_TRUE(reg.ValueExists("Disable_CPU_detect"));
    EXPECT_EQ(reg.ReadInteger("disable_cpu_DETECT"), 1);
    reg.WriteString("", "default");
    EXPECT_EQ(reg.ReadString(""), "default");
}

TEST(RegistryAdapter, WritesStoreLittleEndianIntegersAndDoublesAndTerminatedText)
{
    FakeMachine m;
    TRegistry reg(m.registry);
    reg.SetRootKey(RegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("Software\\Lumora", true));
    reg.WriteFloat("Three", 3);
    reg.WriteFloat("Ninety", 90);
    reg.WriteInteger("One", 1);
    reg.WriteString("Text", "ab");
    const std::uint8_t four[4] = {0xA5, 0x02, 0, 0};
    reg.WriteBinaryData("Four", four, 4);
    EXPECT_EQ(m.registry.Find(kKey, "Three")->data, (Bytes{0, 0, 0, 0, 0, 0, 8, 0x40}));
    EXPECT_EQ(m.registry.Find(kKey, "Ninety")->data, (Bytes{0, 0, 0, 0, 0, 0x80, 0x56, 0x40}));
    EXPECT_EQ(m.registry.Find(kKey, "One")->type, kRegDword);
    EXPECT_EQ(m.registry.Find(kKey, "One")->data, (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(m.registry.Find(kKey, "Text")->type, kRegSz);
    EXPECT_EQ(m.registry.Find(kKey, "Text")->data, (Bytes{'a', 'b', 0}));
    EXPECT_EQ(m.registry.Find(kKey, "Four")->type, kRegBinary);
    EXPECT_EQ(reg.ReadInteger("One"), 1);
    EXPECT_EQ(reg.ReadFloat("Ninety"), 90);
}

TEST(RegistryAdapter, FailedOpenKeepsTheOpenKeyAndNoKeyMeansReadsAtTheRootAndFailedWrites)
{
    FakeMachine m;
    m.registry.PutString("HKLM\\Software\\A", "Name", "in A");
    m.registry.PutString("HKLM", "Name", "at the root");
    TRegistry reg(m.registry);
    reg.SetRootKey(RegRoot::LocalMachine);
    EXPECT_EQ(reg.ReadString("Name"), "at the root");
    EXPECT_EQ(ErrorOf([&] { reg.WriteString("Name", "x"); }), "Failed to set data for 'Name'");
    EXPECT_EQ(m.registry.String("HKLM", "Name"), "at the root") << "nothing written into the root key";
    reg.DeleteValue("Name");
    EXPECT_TRUE(m.registry.Has("HKLM", "Name")) << "no delete at the root either";
    ASSERT_TRUE(reg.OpenKey("Software\\A", false));
    EXPECT_FALSE(reg.OpenKey("Missing", false));
    EXPECT_EQ(reg.ReadString("Name"), "in A");
    EXPECT_EQ(ErrorOf([&] { reg.WriteString("", "x"); }), "<no error>");  // still writable
    EXPECT_EQ(m.registry.String("HKLM\\Software\\A", ""), "x");
}

TEST(RegistryAdapter, RefusedCallsRaiseTheirMessagesAndTheKeyIsClosedAfterwards)
{
    FakeMachine m;
    m.registry.PutDword(kKey, "Locked", 5);
    m.registry.refuseQuery.insert("hkcu\\software\\lumora\\locked");
    m.registry.refuseSet.insert("hkcu\\software\\lumora\\refused");
    {
        TRegistry reg(m.registry);
        reg.SetRootKey(RegRoot::CurrentUser);
        ASSERT_TRUE(reg.OpenKey("Software\\Lumora", true));
        EXPECT_TRUE(reg.ValueExists("Locked"));
        EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Locked"); }), "Failed to get data for 'Locked'");
        EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("Refused", 1); }), "Failed to set data for 'Refused'");
        EXPECT_FALSE(m.registry.Has(kKey, "Refused"));
        reg.DeleteValue("NotThere");  // ignored
    }
    EXPECT_EQ(m.registry.openHandles(), 0);
}

TEST(RegistryAdapter, ReadAfterAnExistenceCheckOfTheSameValueAsksTheRegistryOnce)
{
    // Each step between the check and the read, and how many queries the pair then costs.
    struct Case {
        const char* between;
        std::function<void(TRegistry&)> step;
        const char* readName;
        int queries;
        std::int32_t value;
    };
    const std::vector<Case> cases = {
        {"nothing", [](TRegistry&) {}, "Number", 1, 7},
        {"nothing, another name read", [](TRegistry&) {}, "Other", 2, 9},
        {"a write of the value", [](TRegistry& reg) { reg.WriteInteger("Number", 8); }, "Number", 2, 8},
        {"a deletion elsewhere", [](TRegistry& reg) { reg.DeleteValue("Gone"); }, "Number", 2, 7},
        {"the key opened again",
         [](TRegistry& reg) {
             reg.SetRootKey(RegRoot::CurrentUser);
             reg.OpenKey("Software\\Lumora", false);
         },
         "Number", 2, 7},
        {"a read of the same value", [](TRegistry& reg) { reg.ReadInteger("Number"); }, "Number", 2, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.between);
        FakeMachine m;
        m.registry.PutDword(kKey, "Number", 7);
        m.registry.PutDword(kKey, "Other", 9);
        TRegistry reg(m.registry);
        reg.SetRootKey(RegRoot::CurrentUser);
        ASSERT_TRUE(reg.OpenKey("Software\\Lumora", false));
        const int before = m.registry.queryCalls;
        EXPECT_TRUE(reg.ValueExists("Number"));
        c.step(reg);
        EXPECT_EQ(reg.ReadInteger(c.readName), c.value);
        EXPECT_EQ(m.registry.queryCalls - before, c.queries);
    }

    // A refused read stays refused after the check that saw it refused.
    FakeMachine m;
    m.registry.PutDword(kKey, "Number", 7);
    m.registry.refuseQuery.insert("hkcu\\software\\lumora\\number");
    TRegistry reg(m.registry);
    reg.SetRootKey(RegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("Software\\Lumora", false));
    EXPECT_TRUE(reg.ValueExists("Number"));
    EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Number"); }), "Failed to get data for 'Number'");
}

TEST(RegistryAdapter, HugeStringIsReadWhole)
{
    FakeMachine m;
    const std::string big(1 << 20, 'x');
    m.registry.PutString(kKey, "Big", big);
    TRegistry reg(m.registry);
    reg.SetRootKey(RegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("Software\\Lumora", false));
    EXPECT_EQ(reg.ReadString("Big").size(), big.size());
    std::uint8_t small[2];
    EXPECT_EQ(ErrorOf([&] { reg.ReadBinaryData("Big", small, 2); }), "Invalid data type for 'Big'");
}

TEST(IniAdapter, ReadsWithDefaultsWritesAndRefuses)
{
    FakeMachine m;
    TIniFile ini(m.profile, kSystemIni);
    EXPECT_EQ(ini.ReadString("vcache", "MinFileCache", "0"), "0");
    m.profile.Put("vcache", "MinFileCache", std::string(3000, '7'));
    EXPECT_EQ(ini.ReadString("vcache", "MinFileCache", "0").size(), 2047u);
    ini.WriteString("386Enh", "PageBuffers", "32");
    EXPECT_EQ(m.profile.Get("386Enh", "PageBuffers"), "32");
    ini.DeleteKey("386Enh", "PageBuffers");
    ini.DeleteKey("386Enh", "PageBuffers");
    EXPECT_FALSE(m.profile.Has("386Enh", "PageBuffers"));
    m.profile.refuseWrites = true;
    EXPECT_EQ(ErrorOf([&] { ini.WriteString("vcache", "CHUNKSIZE", "512"); }), "Unable to write to SYSTEM.INI");
    for (const auto& file : m.profile.files) EXPECT_EQ(file, "SYSTEM.INI");
}

}  // namespace
}  // namespace lumora
