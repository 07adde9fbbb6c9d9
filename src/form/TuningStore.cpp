// The tuning halves of ReadData and SaveData: SYSTEM.INI's cache and 386Enh entries, the
// file system's allocation value and its name and directory cache templates.
#include <cstdint>
#include <string>

#include "core/Exception.h"
#include "form/TForm1.h"
#include "core/Numbers.h"
#include "settings/IniFile.h"
#include "platform/System.h"
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
const char* const kOwnTemplate = "Lumora";
const char* const kOwnTemplateDescription = "Lumora Settings";
const char* const kNameCache = "NameCache";
const char* const kPathCache = "PathCache";
// The empty name addresses a key's default value.
const char* const kDefaultValue = "";

constexpr std::int32_t kContigAllocOn = 512;
constexpr std::int32_t kNamesPerPosition = 512;
constexpr std::int32_t kPathsPerPosition = 8;
constexpr std::int32_t kKbPerCachePosition = 1024;
constexpr std::int32_t kKbPerChunkPosition = 32;

void ToBytes(std::int32_t value, std::uint8_t (&bytes)[4])
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t FromBytes(const std::uint8_t (&bytes)[4])
{
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | bytes[i];
    return static_cast<std::int32_t>(bits);
}

// A template size as stored: the value's bytes overlay the low-order bytes of the field, so a
// missing value leaves it whole and a shorter one replaces only what it covers. A value the
// adapter cannot read gives 0.
std::int32_t ReadTemplateSize(TRegistry& reg, const char* name, std::int32_t current)
{
    std::uint8_t bytes[4];
    ToBytes(current, bytes);
    try {
        reg.ReadBinaryData(name, bytes, sizeof bytes);
    } catch (const Exception&) {
        return 0;
    }
    return FromBytes(bytes);
}

// The slider position of a cache text; a text that is not a whole number stands at 0.
std::int32_t CachePosition(const std::string& text, std::int32_t unit)
{
    std::int32_t value = 0;
    if (!ParseWholeNumber(text, value)) return 0;
    return value / unit;
}

struct DiskProfileRow {
    std::int32_t minimum, maximum, chunk;
    int item;
};

// The profile that the three disk cache positions match, first row first.
int RecogniseDiskProfile(std::int32_t minimum, std::int32_t maximum, std::int32_t chunk, std::uint16_t totalMB)
{
    // "Gaming System" asks for a larger chunk once the machine has 128 MB or more.
    const std::int32_t gamingChunk = totalMB >= 128 ? 64 : 32;
    const DiskProfileRow rows[] = {
        {2, 8, 16, 1}, {4, 12, 32, 2}, {2, 6, 128, 3}, {0, 6, gamingChunk, 4}, {5, 5, 8, 5}, {0, 4, 8, 6},
    };
    for (const auto& row : rows) {
        if (row.minimum == minimum && row.maximum == maximum && row.chunk == chunk) return row.item;
    }
    return 0;
}

}  // namespace

bool TForm1::OnNtPlatform()
{
    OsVersion version;
    return ports.system.version(version) && version.platformId == kPlatformNt;
}

void TForm1::LoadTuningValues()
{
    // Load never fails: every value that cannot be read takes its fallback silently.
    {
        TRegistry reg(ports.registry);
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
    CheckBox8.SetChecked(ContigAllocSize == kContigAllocOn);

    TIniFile ini(ports.profile, kSystemIni);
    PageBuffersText = ini.ReadString(kEnhSection, kPageBuffers, "0");
    CheckBox9.SetChecked(PageBuffersText == "32");
    ConservativeSwapText = ini.ReadString(kEnhSection, kConservativeSwap, "0");
    CheckBox10.SetChecked(ConservativeSwapText == "1");

    {
        TRegistry reg(ports.registry);
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

    const std::int32_t nameRead = NameCacheSize;
    const std::int32_t pathRead = PathCacheSize;
    // The sliders' handlers replace the sizes by their grid values; the exact sizes are put
    // back after them. Windows' "Desktop" template is always shown with its fixed sizes; going
    // there directly, rather than through the stored sizes' positions, keeps the reload after
    // an Apply from moving the sliders (and from asking for a restart) when nothing changed.
    const bool desktop = TemplateName == "Desktop";
    RxSlider6.SetValue(desktop ? 1 : nameRead / kNamesPerPosition);
    RxSlider7.SetValue(desktop ? 4 : pathRead / kPathsPerPosition);
    NameCacheSize = desktop ? 677 : nameRead;
    PathCacheSize = desktop ? 32 : pathRead;
    Label4.SetCaption(ToDecimal(NameCacheSize));
    Label5.SetCaption(ToDecimal(PathCacheSize));
    // Template names compare exactly, case included.
    int role = 0;
    if (desktop) role = 1;
    if (TemplateName == "Mobile") role = 2;
    if (TemplateName == "Server") role = 3;
    ComboBox2.SetItemIndex(role);
    // The sliders' handlers ran for the load, not for the user.
    fileCacheEdited_ = false;

    MinFileCacheText = ini.ReadString(kCacheSection, kMinFileCache, "0");
    MaxFileCacheText = ini.ReadString(kCacheSection, kMaxFileCache, "0");
    ChunkSizeText = ini.ReadString(kCacheSection, kChunkSize, "0");
}

void TForm1::LoadDiskCacheControls()
{
    // A position change rewrites its text to the grid value; a slider that does not move
    // leaves the text exactly as stored.
    RxSlider3.SetValue(CachePosition(MinFileCacheText, kKbPerCachePosition));
    RxSlider4.SetValue(CachePosition(MaxFileCacheText, kKbPerCachePosition));
    RxSlider5.SetValue(CachePosition(ChunkSizeText, kKbPerChunkPosition));
    Label16.SetCaption(MinFileCacheText + " kb");
    Label17.SetCaption(MaxFileCacheText + " kb");
    Label30.SetCaption(ChunkSizeText + " kb");
    ComboBox1.SetItemIndex(RecogniseDiskProfile(RxSlider3.Value(), RxSlider4.Value(), RxSlider5.Value(), TotalPhysMB));
}

void TForm1::SaveTuningValues()
{
    // Every write that the platform refuses ends the save here; what was written stays.
    {
        TRegistry reg(ports.registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        reg.OpenKey(kFileSystemKey, true);
        if (CheckBox8.Checked()) {
            reg.WriteInteger(kContigAllocValue, kContigAllocOn);
        } else {
            reg.DeleteValue(kContigAllocValue);
        }
    }

    TIniFile ini(ports.profile, kSystemIni);
    if (CheckBox9.Checked()) {
        ini.WriteString(kEnhSection, kPageBuffers, "32");
    } else {
        ini.DeleteKey(kEnhSection, kPageBuffers);
    }
    // Unlike the other two tweaks this entry is never deleted: unchecked is written as "0".
    ini.WriteString(kEnhSection, kConservativeSwap, CheckBox10.Checked() ? "1" : "0");

    {
        TRegistry reg(ports.registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        const bool templatesKey = reg.OpenKey(kTemplatesKey, false);
        if (!templatesKey && OnNtPlatform()) {
            // The NT family keeps no file-system templates: there is nothing to tune, and the
            // rest of the save goes on.
        } else if (templatesKey && ComboBox2.ItemIndex() == 0 && !fileCacheEdited_) {
            // "User Defined" that nobody chose on the page: the stored selection is missing,
            // unknown or the own template. The page shows what is stored, so writing it back
            // could only invent a template or sizes; everything stays as it is.
        } else if (ComboBox2.ItemIndex() != 0) {
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
            std::uint8_t bytes[4];
            ToBytes(NameCacheSize, bytes);
            reg.WriteBinaryData(kNameCache, bytes, sizeof bytes);
            ToBytes(PathCacheSize, bytes);
            reg.WriteBinaryData(kPathCache, bytes, sizeof bytes);
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
