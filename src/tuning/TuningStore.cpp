// The Windows tuning values: their loads and saves.
#include "tuning/TuningStore.h"

#include "core/Exception.h"
#include "core/LittleEndian.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"

namespace lumora {

namespace {

const char* const kFileSystemKey = "SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const char* const kTemplatesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\FS Templates";
const char* const kContigAllocValue = "ContigFileAllocSize";
const char* const kEnhSection = "386Enh";
const char* const kPageBuffers = "PageBuffers";
const char* const kConservativeSwap = "ConservativeSwapfileUsage";
// Windows reads these names as they are; keep the case.
const char* const kCacheSection = "vcache";
const char* const kMinFileCache = "MinFileCache";
const char* const kMaxFileCache = "MaxFileCache";
const char* const kChunkSize = "CHUNKSIZE";
const char* const kOwnTemplateDescription = "Lumora Settings";
const char* const kNameCache = "NameCache";
const char* const kPathCache = "PathCache";
// The empty name addresses a key's default value.
const char* const kDefaultValue = "";

// A template size as stored: the value's bytes overlay the low-order bytes of the field, so a
// missing value leaves it whole and a shorter one replaces only what it covers. A value the
// adapter cannot read gives 0.
std::int32_t ReadTemplateSize(TRegistry& reg, const char* name, std::int32_t current)
{
    std::uint8_t bytes[4];
    WriteLittleEndian32(static_cast<std::uint32_t>(current), bytes);
    try {
        reg.ReadBinaryData(name, bytes, sizeof bytes);
    } catch (const Exception&) {
        return 0;
    }
    return static_cast<std::int32_t>(ReadLittleEndian32(bytes));
}

void WriteTemplateSize(TRegistry& reg, const char* name, std::int32_t size)
{
    std::uint8_t bytes[4];
    WriteLittleEndian32(static_cast<std::uint32_t>(size), bytes);
    reg.WriteBinaryData(name, bytes, sizeof bytes);
}

// Flushes the file when the save leaves its scope, also when a write throws: what a stopped
// save wrote stays written, and on Windows 9x only a flush puts it on the disk.
class UpdateOnExit {
public:
    explicit UpdateOnExit(TIniFile& ini) : ini_(ini) {}
    ~UpdateOnExit() { ini_.UpdateFile(); }
    UpdateOnExit(const UpdateOnExit&) = delete;
    UpdateOnExit& operator=(const UpdateOnExit&) = delete;

private:
    TIniFile& ini_;
};

// The platform version query says NT; a refused query counts as Windows 9x.
bool OnNtPlatform(SystemPort& system)
{
    OsVersion version;
    return system.version(version) && version.platformId == kPlatformNt;
}

}  // namespace

void TuningStore::Load(RegistryPort& registry, ProfilePort& profile)
{
    {
        TRegistry reg(registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        ContigAllocSize = 0;
        if (reg.OpenKey(kFileSystemKey, false)) {
            try {
                ContigAllocSize = reg.ReadInteger(kContigAllocValue);
            } catch (const Exception&) {
                ContigAllocSize = 0;
            }
        }
    }

    TIniFile ini(profile, kSystemIni);
    PageBuffersText = ini.ReadString(kEnhSection, kPageBuffers, "0");
    ConservativeSwapText = ini.ReadString(kEnhSection, kConservativeSwap, "0");

    {
        TRegistry reg(registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        // Without the FS Templates key no key is open and the reads below look at the root.
        reg.OpenKey(kTemplatesKey, false);
        try {
            TemplateName = reg.ReadString(kDefaultValue);
        } catch (const Exception&) {
            TemplateName.clear();
        }
        // A template without a sub-key of its own is read from the key that is open.
        if (!TemplateName.empty()) reg.OpenKey(TemplateName, false);
        NameCacheSize = ReadTemplateSize(reg, kNameCache, NameCacheSize);
        PathCacheSize = ReadTemplateSize(reg, kPathCache, PathCacheSize);
    }

    MinFileCacheText = ini.ReadString(kCacheSection, kMinFileCache, "0");
    MaxFileCacheText = ini.ReadString(kCacheSection, kMaxFileCache, "0");
    ChunkSizeText = ini.ReadString(kCacheSection, kChunkSize, "0");
}

void TuningStore::Save(RegistryPort& registry, ProfilePort& profile, SystemPort& system,
                       const TuningChoices& choices) const
{
    {
        TRegistry reg(registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        reg.OpenKey(kFileSystemKey, true);
        if (choices.contiguousAllocation) {
            reg.WriteInteger(kContigAllocValue, kContigAllocOn);
        } else {
            reg.DeleteValue(kContigAllocValue);
        }
    }

    TIniFile ini(profile, kSystemIni);
    // Once, after the last SYSTEM.INI change below, however the save ends from here on.
    const UpdateOnExit update(ini);
    if (choices.diskBuffers) {
        ini.WriteString(kEnhSection, kPageBuffers, kPageBuffersOn);
    } else {
        ini.DeleteKey(kEnhSection, kPageBuffers);
    }
    // Unlike the other two tweaks this entry is never deleted: unchecked is written as "0".
    ini.WriteString(kEnhSection, kConservativeSwap, choices.conservativeSwap ? kConservativeSwapOn : "0");

    {
        TRegistry reg(registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        const bool templatesKey = reg.OpenKey(kTemplatesKey, false);
        if (!templatesKey && OnNtPlatform(system)) {
            // The NT family keeps no file-system templates: there is nothing to tune, and the
            // rest of the save goes on.
        } else if (templatesKey && choices.role == 0 && !choices.fileCacheEdited) {
            // "User Defined" that nobody chose on the page: the stored selection is missing,
            // unknown or the own template. The page shows what is stored, so writing it back
            // could only invent a template or sizes; everything stays as it is.
        } else if (choices.role != 0) {
            // Without the key no key is open and this first write fails (Windows 9x).
            reg.WriteString(kDefaultValue, TemplateName);
        } else {
            reg.WriteString(kDefaultValue, kOwnTemplate);
            // The sizes belong in the own template only; never let them land on the FS
            // Templates key itself when the sub-key cannot be had.
            if (!reg.OpenKey(kOwnTemplate, true)) throw Exception(Format(kFailedToSetData, kNameCache));
            if (reg.ReadString(kDefaultValue) != kOwnTemplateDescription) {
                reg.WriteString(kDefaultValue, kOwnTemplateDescription);
            }
            WriteTemplateSize(reg, kNameCache, NameCacheSize);
            WriteTemplateSize(reg, kPathCache, PathCacheSize);
        }
    }

    // "0" stands for an absent entry; any other text, empty or odd, goes back as it is.
    const struct {
        const char* key;
        const std::string& text;
    } cacheEntries[] = {
        {kMinFileCache, MinFileCacheText}, {kMaxFileCache, MaxFileCacheText}, {kChunkSize, ChunkSizeText}};
    for (const auto& entry : cacheEntries) {
        if (entry.text == "0") {
            ini.DeleteKey(kCacheSection, entry.key);
        } else {
            ini.WriteString(kCacheSection, entry.key, entry.text);
        }
    }
}

}  // namespace lumora
