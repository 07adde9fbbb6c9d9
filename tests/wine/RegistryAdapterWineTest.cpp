// The registry adapter over the real Win32 registry port, against Wine's registry.
#include <windows.h>
#include <aclapi.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "WineRegistry.h"
#include "WineTest.h"
#include "common/ErrorOf.h"
#include "core/Exception.h"
#include "settings/Registry.h"
#include "win32/ports/Win32Ports.h"

namespace lumora::winetest {
namespace {

const char* const kScratch = "Software\\LumoraAdapterTest";

using testing::ErrorOf;

// What a reader made of a value: its result, "invalid" for the type error, or another message.
std::string Outcome(const std::string& name, const std::function<std::string()>& read)
{
    try {
        return read();
    } catch (const Exception& e) {
        return std::string(e.what()) == "Invalid data type for '" + name + "'" ? "invalid" : e.what();
    }
}

// Opens keys with one fixed access right instead of asking for all access, so that the
// platform itself refuses the calls that right does not cover.
class RestrictedRegistry : public RegistryPort {
public:
    explicit RestrictedRegistry(REGSAM access) : access_(access) {}
    RegKey rootKey(RegRoot root) override { return real_.rootKey(root); }
    RegKey openKey(RegKey parent, const std::string& path, bool) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(reinterpret_cast<HKEY>(parent), path.c_str(), 0, access_, &key) != ERROR_SUCCESS) {
            return 0;
        }
        return reinterpret_cast<RegKey>(key);
    }
    RegKey openKeyWith(RegKey parent, const std::string& path, RegAccess access) override
    {
        return real_.openKeyWith(parent, path, access);
    }
    void closeKey(RegKey key) override { real_.closeKey(key); }
    RegQuery queryValue(RegKey key, const std::string& name, std::uint32_t& type, Bytes& data) override
    {
        return real_.queryValue(key, name, type, data);
    }
    void queryFourBytes(RegKey key, const std::string& name, std::uint8_t (&value)[4]) override
    {
        real_.queryFourBytes(key, name, value);
    }
    bool setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::size_t size) override
    {
        return real_.setValue(key, name, type, data, size);
    }
    bool deleteValue(RegKey key, const std::string& name) override { return real_.deleteValue(key, name); }

private:
    Win32Registry real_;
    REGSAM access_;
};

TEST(RegistryAdapterWine, EveryReaderAgainstEveryStoredKind)
{
    struct Row {
        const char* what;
        DWORD type;
        Bytes data;
        const char* integer;
        const char* number;
        const char* text;
        const char* binary;  // bytes read into a 12-byte buffer poisoned with 0xbd: "count:buffer"
    };
    const Row rows[] = {
        {"dword -2", REG_DWORD, Le32(0xfffffffe), "-2", "invalid", "invalid", "invalid"},
        {"double 3", REG_BINARY, DoubleBytes(3), "invalid", "3", "invalid", "8:0000000000000840bdbdbdbd"},
        {"binary 7 bytes",
         REG_BINARY,
         {1, 2, 3, 4, 5, 6, 7},
         "invalid",
         "invalid",
         "invalid",
         "7:01020304050607bdbdbdbdbd"},
        {"binary 9 bytes",
         REG_BINARY,
         {1, 2, 3, 4, 5, 6, 7, 8, 9},
         "invalid",
         "invalid",
         "invalid",
         "9:010203040506070809bdbdbd"},
        {"string", REG_SZ, StringBytes("Lumora"), "invalid", "invalid", "Lumora", "invalid"},
        {"expand string kept unexpanded", REG_EXPAND_SZ, StringBytes("%WINDIR%\\x"), "invalid", "invalid",
         "%WINDIR%\\x", "invalid"},
        {"empty string", REG_SZ, StringBytes(""), "invalid", "invalid", "", "invalid"},
        {"untyped 3 bytes",
         REG_NONE,
         {0xa5, 0x02, 0x00},
         "invalid",
         "invalid",
         "invalid",
         "3:a50200bdbdbdbdbdbdbdbdbd"},
        // Binary data is only ever binary or untyped.
        {"multi string", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, "invalid", "invalid", "invalid", "invalid"},
        {"big-endian dword", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 7}, "invalid", "invalid", "invalid", "invalid"},
        {"binary 13 bytes, longer than the buffer", REG_BINARY, Bytes(13, 7), "invalid", "invalid", "invalid",
         "invalid"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("stored ") + row.what);
        ScratchKey scratch;
        scratch.Put("Value", row.type, row.data);
        Win32Registry port;
        TRegistry reg(port);
        reg.SetRootKey(RegRoot::CurrentUser);
        ASSERT_TRUE(reg.OpenKey(kScratch, false));
        EXPECT_TRUE(reg.ValueExists("Value"));
        EXPECT_EQ(Outcome("Value", [&] { return std::to_string(reg.ReadInteger("Value")); }), std::string(row.integer));
        EXPECT_EQ(Outcome("Value", [&] { return Show(reg.ReadFloat("Value")); }), std::string(row.number));
        EXPECT_EQ(Outcome("Value", [&] { return reg.ReadString("Value"); }), std::string(row.text));
        std::uint8_t buffer[12];
        std::memset(buffer, 0xbd, sizeof buffer);
        const std::string binary = Outcome("Value", [&] {
            const std::size_t n = reg.ReadBinaryData("Value", buffer, sizeof buffer);
            return std::to_string(n) + ":" + Hex(buffer, sizeof buffer);
        });
        EXPECT_EQ(binary, std::string(row.binary));
        if (binary == "invalid") {
            EXPECT_EQ(Hex(buffer, sizeof buffer), std::string("bdbdbdbdbdbdbdbdbdbdbdbd"));
        }
    }
}

TEST(RegistryAdapterWine, BinaryLongerThanTheBufferIsInvalidAndLeavesItUntouched)
{
    ScratchKey scratch;
    scratch.Put("NameCache", REG_BINARY, Le32(677));
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    std::uint8_t buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
    EXPECT_EQ(ErrorOf([&] { reg.ReadBinaryData("NameCache", buffer, 2); }),
              std::string("Invalid data type for 'NameCache'"));
    EXPECT_EQ(Hex(buffer, 4), std::string("bdbdbdbd"));
}

TEST(RegistryAdapterWine, StringOfSizeZeroReadsAsEmptyText)
{
    ScratchKey scratch;
    scratch.Put("Music", REG_SZ, {});
    const RawValue raw = QueryRaw(scratch.handle(), "Music");
    if (raw.rc != ERROR_SUCCESS || !raw.data.empty()) {
        GTEST_SKIP() << "Wine stored the zero-length REG_SZ as " + std::to_string(raw.data.size()) + " bytes";
    }
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    EXPECT_TRUE(reg.ValueExists("Music"));
    EXPECT_EQ(reg.ReadString("Music"), std::string());
}

TEST(RegistryAdapterWine, MissingValueLeavesThePortOutputsUntouched)
{
    ScratchKey scratch;
    Win32Registry port;
    const RegKey key = port.openKey(port.rootKey(RegRoot::CurrentUser), kScratch, false);
    ASSERT_NE(key, RegKey{0});
    std::uint32_t type = 0xdeadbeef;
    Bytes data(3, 0xbd);
    EXPECT_EQ(static_cast<int>(port.queryValue(key, "Nothing", type, data)), static_cast<int>(RegQuery::Missing));
    EXPECT_EQ(type, 0xdeadbeefu);
    EXPECT_EQ(Hex(data.data(), data.size()), std::string("bdbdbd"));
    port.closeKey(key);
}

TEST(RegistryAdapterWine, MissingValuesReadAsEmptyOrAsTypeErrors)
{
    ScratchKey scratch;
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    EXPECT_FALSE(reg.ValueExists("Nothing"));
    EXPECT_EQ(reg.ReadString("Nothing"), std::string());
    std::uint8_t buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
    EXPECT_EQ(reg.ReadBinaryData("Nothing", buffer, sizeof buffer), std::size_t{0});
    EXPECT_EQ(Hex(buffer, 4), std::string("bdbdbdbd"));
    EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Nothing"); }), std::string("Invalid data type for 'Nothing'"));
    EXPECT_EQ(ErrorOf([&] { reg.ReadFloat("Nothing"); }), std::string("Invalid data type for 'Nothing'"));
    EXPECT_EQ(ErrorOf([&] { reg.DeleteValue("Nothing"); }), std::string("<no error>"));
}

TEST(RegistryAdapterWine, ValueNamesMatchWithoutRegardToCase)
{
    ScratchKey scratch;
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey("software\\LUMORAADAPTERTEST", false));
    reg.WriteInteger("Disable_CPU_Detect", 1);
    reg.WriteInteger("AutoClearClipboard", 1);
    EXPECT_TRUE(reg.ValueExists("Disable_CPU_detect"));
    EXPECT_EQ(reg.ReadInteger("Disable_CPU_detect"), 1);
    EXPECT_EQ(reg.ReadInteger("AutoclearClipboard"), 1);
    reg.WriteInteger("disable_cpu_detect", 0);
    const RawValue raw = QueryRaw(scratch.handle(), "Disable_CPU_Detect");
    EXPECT_EQ(raw.rc, ERROR_SUCCESS);
    EXPECT_EQ(Hex(raw.data.data(), raw.data.size()), std::string("00000000"));
}

TEST(RegistryAdapterWine, DefaultValueIsAddressedByTheEmptyName)
{
    ScratchKey scratch;
    RegSetValueA(scratch.handle(), nullptr, REG_SZ, "Desktop", 7);
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    EXPECT_TRUE(reg.ValueExists(""));
    EXPECT_EQ(reg.ReadString(""), std::string("Desktop"));
    reg.WriteString("", "Lumora");
    char text[32] = {};
    LONG size = sizeof text;
    EXPECT_EQ(RegQueryValueA(scratch.handle(), nullptr, text, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(text), std::string("Lumora"));
}

TEST(RegistryAdapterWine, WritesStoreDwordBinaryAndTerminatedTextWithTheirBytes)
{
    ScratchKey scratch;
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    const std::uint8_t nameCache[4] = {0xa5, 0x02, 0x00, 0x00};
    reg.WriteFloat("Three", 3);
    reg.WriteFloat("Ninety", 90);
    reg.WriteInteger("One", 1);
    reg.WriteInteger("MinusOne", -1);
    reg.WriteString("Text", "ab");
    reg.WriteString("Empty", "");
    reg.WriteBinaryData("NameCache", nameCache, sizeof nameCache);
    struct Expected {
        const char* name;
        DWORD type;
        const char* hex;
    };
    const Expected expected[] = {
        {"Three", REG_BINARY, "0000000000000840"},
        {"Ninety", REG_BINARY, "0000000000805640"},
        {"One", REG_DWORD, "01000000"},
        {"MinusOne", REG_DWORD, "ffffffff"},
        {"Text", REG_SZ, "616200"},
        {"Empty", REG_SZ, "00"},
        {"NameCache", REG_BINARY, "a5020000"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const RawValue raw = QueryRaw(scratch.handle(), e.name);
        EXPECT_EQ(raw.rc, ERROR_SUCCESS);
        EXPECT_EQ(raw.type, e.type);
        EXPECT_EQ(Hex(raw.data.data(), raw.data.size()), std::string(e.hex));
    }
    EXPECT_EQ(reg.ReadFloat("Ninety"), 90.0);
    EXPECT_EQ(reg.ReadInteger("MinusOne"), -1);
    reg.DeleteValue("One");
    EXPECT_EQ(QueryRaw(scratch.handle(), "One").rc, ERROR_FILE_NOT_FOUND);
}

TEST(RegistryAdapterWine, FailedOpenKeepsTheOpenKey)
{
    ScratchKey scratch;
    scratch.PutString("Where", "scratch");
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    EXPECT_FALSE(reg.OpenKey("Missing", false));
    EXPECT_TRUE(reg.HasOpenKey());
    EXPECT_EQ(reg.ReadString("Where"), std::string("scratch"));
    reg.WriteString("After", "still here");
    EXPECT_EQ(QueryRaw(scratch.handle(), "After").rc, ERROR_SUCCESS);
    // Paths are relative to the open key: create a sub-key below the scratch key, then one below it.
    ASSERT_TRUE(reg.OpenKey("Lumora", true));
    ASSERT_TRUE(reg.OpenKey("Deeper", true));
    reg.WriteString("", "Lumora Settings");
    EXPECT_EQ(QueryRaw(HKEY_CURRENT_USER, std::string(kScratch) + "\\Lumora\\Deeper", "").rc, ERROR_SUCCESS);
}

TEST(RegistryAdapterWine, WriteWithNoKeyOpenFailsAndWritesNothing)
{
    Win32Registry port;
    TRegistry reg(port);
    reg.SetRootKey(RegRoot::CurrentUser);
    EXPECT_EQ(ErrorOf([&] { reg.WriteString("LumoraAdapterTestValue", "x"); }),
              std::string("Failed to set data for 'LumoraAdapterTestValue'"));
    EXPECT_EQ(QueryRaw(HKEY_CURRENT_USER, "LumoraAdapterTestValue").rc, ERROR_FILE_NOT_FOUND);
}

TEST(RegistryAdapterWine, RefusedWriteRaisesFailedToSetData)
{
    ScratchKey scratch;
    RestrictedRegistry port(KEY_READ);
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    for (const char* name : {"Refused", ""}) {
        SCOPED_TRACE(std::string("value '") + name + "'");
        EXPECT_EQ(ErrorOf([&] { reg.WriteInteger(name, 1); }), "Failed to set data for '" + std::string(name) + "'");
        EXPECT_EQ(QueryRaw(scratch.handle(), name).rc, ERROR_FILE_NOT_FOUND);
    }
}

TEST(RegistryAdapterWine, RefusedReadRaisesFailedToGetData)
{
    ScratchKey scratch;
    scratch.Put("Locked", REG_DWORD, Le32(5));
    RestrictedRegistry port(KEY_SET_VALUE);
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    const std::string refused = "Failed to get data for 'Locked'";
    EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Locked"); }), refused);
    EXPECT_EQ(ErrorOf([&] { reg.ReadString("Locked"); }), refused);
    std::uint8_t buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
    EXPECT_EQ(ErrorOf([&] { reg.ReadBinaryData("Locked", buffer, 4); }), refused);
    EXPECT_EQ(Hex(buffer, 4), std::string("bdbdbdbd"));
}

// Gives the key a DACL that lets everyone read it and nothing more, and puts back full access
// for its owner when it ends so that the key can be deleted.
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(HKEY key) : key_(key) { ok_ = Apply(KEY_READ); }
    ~ReadOnlyKey() { Apply(KEY_ALL_ACCESS); }
    bool ok() const { return ok_; }

private:
    bool Apply(DWORD rights)
    {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return false;
        alignas(ACL) BYTE aclBuffer[256];
        auto* acl = reinterpret_cast<PACL>(aclBuffer);
        SECURITY_DESCRIPTOR sd;
        const bool ok = InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
                        AddAccessAllowedAce(acl, ACL_REVISION, rights, everyone) &&
                        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
                        SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) &&
                        RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
        FreeSid(everyone);
        return ok;
    }
    HKEY key_;
    bool ok_ = false;
};

TEST(RegistryAdapterWine, KeyRefusingAllAccessStillReadsAndRefusesWrites)
{
    ScratchKey scratch;
    HKEY locked = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(
        RegCreateKeyExA(scratch.handle(), "Locked", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &locked, &disposition),
        ERROR_SUCCESS);
    RegSetValueExA(locked, "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>("kept"), 5);
    ReadOnlyKey readOnly(locked);
    ASSERT_TRUE(readOnly.ok());
    HKEY probe = nullptr;
    const LONG allAccess = RegOpenKeyExA(scratch.handle(), "Locked", 0, KEY_ALL_ACCESS, &probe);
    if (allAccess == ERROR_SUCCESS) {
        RegCloseKey(probe);
        RegCloseKey(locked);
        GTEST_SKIP() << "Wine granted all access in spite of a read-only DACL";
    }
    {
        Win32Registry port;
        TRegistry reg(port);
        ASSERT_TRUE(reg.OpenKey(kScratch, false));
        ASSERT_TRUE(reg.OpenKey("Locked", false));
        EXPECT_EQ(reg.ReadString("Value"), std::string("kept"));
        EXPECT_EQ(ErrorOf([&] { reg.WriteString("Value", "changed"); }), std::string("Failed to set data for 'Value'"));
        reg.CloseKey();
        ASSERT_TRUE(reg.OpenKey(kScratch, false));
        EXPECT_TRUE(reg.OpenKey("Locked", true));
        EXPECT_EQ(ErrorOf([&] { reg.WriteString("Value", "changed"); }), std::string("Failed to set data for 'Value'"));
    }
    EXPECT_EQ(Hex(QueryRaw(locked, "Value").data.data(), 5), std::string("6b65707400"));
    RegCloseKey(locked);
}

TEST(RegistryAdapterWine, MebibyteStringReadsWhole)
{
    ScratchKey scratch;
    const std::string big(1u << 20, 'x');
    scratch.PutString("Big", big);
    scratch.Put("BigBinary", REG_BINARY, Bytes(1u << 20, 0x42));
    Win32Registry port;
    TRegistry reg(port);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    const std::string read = reg.ReadString("Big");
    EXPECT_EQ(read.size(), big.size());
    EXPECT_TRUE(read == big);
    std::uint8_t buffer[4] = {0xbd, 0xbd, 0xbd, 0xbd};
    EXPECT_EQ(ErrorOf([&] { reg.ReadBinaryData("BigBinary", buffer, 4); }),
              std::string("Invalid data type for 'BigBinary'"));
}

TEST(RegistryAdapterWine, ClosingARootKeyLeavesItUsable)
{
    ScratchKey scratch;
    Win32Registry port;
    port.closeKey(port.rootKey(RegRoot::CurrentUser));
    port.closeKey(port.rootKey(RegRoot::LocalMachine));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key != nullptr) RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key != nullptr) RegCloseKey(key);
}

bool NtFamily()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The dynamic statistics are Windows 9x's: the NT family has no HKEY_DYN_DATA, Wine has it in
// either mode.
TEST(RegistryAdapterWine, DynamicDataRootOpensTheStatisticsKey)
{
    Win32Registry port;
    TRegistry reg(port);
    reg.SetRootKey(RegRoot::DynData);
    const bool opened = reg.OpenKey("PerfStats\\StatData", false);
    EXPECT_TRUE(opened == !NtFamily() || WINE_ONLY(opened));
    EXPECT_FALSE(reg.OpenKey("PerfStats\\NoSuchStatistic", false));
}

TEST(RegistryAdapterWine, DynamicStatisticsKeysAsWineHasThem)
{
    if (!OnWine()) GTEST_SKIP() << "Wine's own statistics keys: Windows 98 has statistics to start, the NT family none";
    Win32Registry port;
    const RegKey dynData = port.rootKey(RegRoot::DynData);
    const RegKey statData = port.openKeyWith(dynData, "PerfStats\\StatData", RegAccess::Read);
    EXPECT_NE(statData, RegKey{0});
    std::uint8_t value[4] = {0xbd, 0xbd, 0xbd, 0xbd};
    port.queryFourBytes(statData, "KERNEL\\NoSuchStatistic", value);
    EXPECT_EQ(Hex(value, 4), std::string("bdbdbdbd"));
    port.closeKey(statData);
    port.closeKey(0);
    // Wine has no statistics to start: the 9x meter's start fails here by design.
    EXPECT_EQ(port.openKeyWith(dynData, "PerfStats\\StartStat", RegAccess::All), RegKey{0});
}

}  // namespace
}  // namespace lumora::winetest
