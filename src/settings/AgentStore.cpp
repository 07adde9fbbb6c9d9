// The tray agent's settings: loads and saves of HKCU\Software\Lumora and the Run entry.
#include "settings/AgentStore.h"

#include "core/Exception.h"
#include "settings/Registry.h"

namespace lumora {

namespace {

const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValue = "Lumora";

// The agent key's values, as the agent reads them.
const char* const kCurrentDir = "CurrentDir";
// The load reads this name with a small "d" and the save writes kCpuDetectWritten: the registry
// matches names without regard to case, so both address the one value. Keep both spellings.
const char* const kCpuDetectRead = "Disable_CPU_detect";
const char* const kCpuDetectWritten = "Disable_CPU_Detect";
const char* const kAlwaysOnTop = "Always on Top";
// "Fre" is the name the agent reads: keep the misspelling.
const char* const kTargetFree = "Target Fre RAM";
const char* const kMinimumFree = "Minimum Free RAM";
const char* const kFreeUp = "FreeValue1";
const char* const kFreeInterval = "FreeTime";
const char* const kCpuLimit = "FreeCPU";
const char* const kMenuFree1 = "Menu1";
const char* const kMenuFree2 = "Menu2";
const char* const kMenuFree3 = "Menu3";
// Read as "AutoclearClipboard", saved as "AutoClearClipboard": one value for the registry, which
// ignores case; keep both spellings.
const char* const kClearClipboardRead = "AutoclearClipboard";
const char* const kClearClipboardWritten = "AutoClearClipboard";
const char* const kRamIcon = "RAMIcon";
const char* const kPlaySound = "PlaySound";
const char* const kSoundFile = "Music";
const char* const kAutoStart = "AutoStart";
const char* const kUpdate = "Update";

std::string AgentPath(const std::string& currentDir)
{
    return currentDir + "\\Lumora.exe";
}

// Reads one value: the missing default when it does not exist, the unreadable default when
// the read fails. Failures are never reported.
template <typename T, typename Read>
T LoadValue(TRegistry& reg, const std::string& name, Read read, T whenMissing, T whenUnreadable)
{
    if (!reg.ValueExists(name)) return whenMissing;
    try {
        return read(name);
    } catch (const Exception&) {
        return whenUnreadable;
    }
}

// An integer kept in a 16-bit field keeps its low 16 bits.
std::uint16_t Low16(std::int32_t value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
}

void OpenAgentKey(TRegistry& reg)
{
    reg.SetRootKey(RegRoot::CurrentUser);
    reg.OpenKey(kAgentKey, true);
}

}  // namespace

AgentAmounts DefaultAgentAmounts(std::uint16_t total)
{
    return {static_cast<std::uint16_t>(total / 4),
            static_cast<std::uint16_t>(total / 16),
            2,
            3,
            90,
            static_cast<double>(total / 4),
            static_cast<double>(total / 8),
            static_cast<double>(total / 16)};
}

void AgentStore::SetAmounts(const AgentAmounts& amounts)
{
    TargetFreeMB = amounts.targetFreeMB;
    MinimumFreeMB = amounts.minimumFreeMB;
    FreeUpMB = amounts.freeUpMB;
    FreeIntervalMin = amounts.freeIntervalMin;
    CpuLimitPercent = amounts.cpuLimitPercent;
    MenuFreeMB1 = amounts.menuFreeMB1;
    MenuFreeMB2 = amounts.menuFreeMB2;
    MenuFreeMB3 = amounts.menuFreeMB3;
}

void AgentStore::SettleCurrentDir(RegistryPort& registry, SystemPort& system, std::string& currentDir)
{
    TRegistry reg(registry);
    OpenAgentKey(reg);
    if (reg.ValueExists(kCurrentDir)) {
        try {
            currentDir = reg.ReadString(kCurrentDir);
            return;
        } catch (const ReadFailure&) {
            // The stored folder is there but could not be read this time: it stays stored,
            // and this run works with the working folder.
            currentDir = system.currentDirectory();
            return;
        } catch (const Exception&) {
            // Stored with another type than text: counts as missing and is replaced.
        }
    }
    currentDir = system.currentDirectory();
    reg.WriteString(kCurrentDir, currentDir);
}

void AgentStore::Load(RegistryPort& registry, std::uint16_t total, const std::string& currentDir)
{
    TRegistry reg(registry);
    reg.SetRootKey(RegRoot::CurrentUser);
    // When the key cannot be opened the reads look at the root key, which holds none of the
    // values: they take their missing defaults.
    agentKeyRead_ = reg.OpenKey(kAgentKey, true);
    const auto integer = [&](const char* name, std::uint16_t missing, std::uint16_t unreadable) {
        return LoadValue<std::uint16_t>(
            reg, name, [&](const std::string& n) { return Low16(reg.ReadInteger(n)); }, missing, unreadable);
    };
    const auto number = [&](const char* name, double fallback) {
        return LoadValue<double>(
            reg, name, [&](const std::string& n) { return reg.ReadFloat(n); }, fallback, fallback);
    };
    const AgentAmounts defaults = DefaultAgentAmounts(total);
    CpuDetectDisabled = integer(kCpuDetectRead, 0, 0);
    AlwaysOnTopFlag = integer(kAlwaysOnTop, 0, 0);
    TargetFreeMB = integer(kTargetFree, defaults.targetFreeMB, defaults.targetFreeMB);
    MinimumFreeMB = integer(kMinimumFree, defaults.minimumFreeMB, defaults.minimumFreeMB);
    FreeUpMB = number(kFreeUp, defaults.freeUpMB);
    FreeIntervalMin = number(kFreeInterval, defaults.freeIntervalMin);
    CpuLimitPercent = number(kCpuLimit, defaults.cpuLimitPercent);
    MenuFreeMB1 = number(kMenuFree1, defaults.menuFreeMB1);
    MenuFreeMB2 = number(kMenuFree2, defaults.menuFreeMB2);
    MenuFreeMB3 = number(kMenuFree3, defaults.menuFreeMB3);
    ClearClipboardFlag = integer(kClearClipboardRead, 0, 0);
    RamIconFlag = integer(kRamIcon, 0, 0);
    PlaySoundFlag = integer(kPlaySound, 0, 0);
    const std::string defaultSound = currentDir + "\\confirmation.wav";
    SoundFile = LoadValue<std::string>(
        reg, kSoundFile, [&](const std::string& n) { return reg.ReadString(n); }, defaultSound, defaultSound);
    // The one value whose defaults differ: a first start registers the agent.
    AutoStartFlag = integer(kAutoStart, 1, 0);
}

void AgentStore::RegisterAutoStart(RegistryPort& registry, const std::string& currentDir) const
{
    // The defaults that stood in for an unreadable agent key must not change the entry.
    if (!agentKeyRead_) return;
    TRegistry reg(registry);
    reg.SetRootKey(RegRoot::LocalMachine);
    // The load never creates the Run key: without it there is nothing to keep in step (the
    // adapter would otherwise aim the write at the root key). The save creates it. A Run key the
    // user may not change (a limited account on the NT family) counts as missing too: this step
    // was not asked for, and it would fail at every start with a box the user can do nothing
    // about; an Apply still reports the refusal, as the user asked for that write.
    if (!reg.OpenKeyToChange(kRunKey)) return;
    if (AutoStartFlag == 1) {
        reg.WriteString(kRunValue, AgentPath(currentDir));
    } else {
        reg.DeleteValue(kRunValue);
    }
}

void AgentStore::Save(RegistryPort& registry, const AgentChoices& c, const std::string& currentDir)
{
    {
        TRegistry reg(registry);
        reg.SetRootKey(RegRoot::LocalMachine);
        reg.OpenKey(kRunKey, true);
        if (c.autoStart) {
            reg.WriteString(kRunValue, AgentPath(currentDir));
        } else {
            reg.DeleteValue(kRunValue);
        }
    }

    TRegistry reg(registry);
    OpenAgentKey(reg);
    const auto flag = [](bool on) { return on ? 1 : 0; };
    // The two values read under other spellings are written under these (see the names above).
    reg.WriteInteger(kCpuDetectWritten, flag(c.cpuDetectDisabled));
    reg.WriteInteger(kAlwaysOnTop, flag(c.alwaysOnTop));
    reg.WriteInteger(kTargetFree, c.targetFreeMB);
    reg.WriteInteger(kMinimumFree, c.minimumFreeMB);
    reg.WriteFloat(kFreeUp, c.freeUpMB);
    reg.WriteFloat(kFreeInterval, c.freeIntervalMin);
    reg.WriteFloat(kCpuLimit, c.cpuLimitPercent);
    reg.WriteFloat(kMenuFree1, c.menuFreeMB1);
    reg.WriteFloat(kMenuFree2, c.menuFreeMB2);
    reg.WriteFloat(kMenuFree3, c.menuFreeMB3);
    reg.WriteInteger(kClearClipboardWritten, flag(c.clearClipboard));
    reg.WriteInteger(kRamIcon, flag(c.ramIcon));
    reg.WriteInteger(kPlaySound, flag(c.playSound));
    reg.WriteString(kSoundFile, c.soundFile);
    reg.WriteInteger(kAutoStart, flag(c.autoStart));
}

void AgentStore::SignalUpdate(RegistryPort& registry)
{
    TRegistry reg(registry);
    OpenAgentKey(reg);
    reg.WriteInteger(kUpdate, 1);
}

}  // namespace lumora
