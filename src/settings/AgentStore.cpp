// The tray agent's settings: loads and saves of HKCU\Software\Lumora and the Run entry.
#include "settings/AgentStore.h"

#include "core/Exception.h"
#include "settings/Registry.h"

namespace lumora {

namespace {

const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValue = "Lumora";

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
    if (reg.ValueExists("CurrentDir")) {
        try {
            currentDir = reg.ReadString("CurrentDir");
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
    reg.WriteString("CurrentDir", currentDir);
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
    // The agent reads this name with a small "d" and the save writes "Disable_CPU_Detect": the
    // registry matches names without regard to case, so both address the one value. Keep both.
    CpuDetectDisabled = integer("Disable_CPU_detect", 0, 0);
    AlwaysOnTopFlag = integer("Always on Top", 0, 0);
    // "Fre" is the name the agent reads: keep the misspelling.
    TargetFreeMB = integer("Target Fre RAM", defaults.targetFreeMB, defaults.targetFreeMB);
    MinimumFreeMB = integer("Minimum Free RAM", defaults.minimumFreeMB, defaults.minimumFreeMB);
    FreeUpMB = number("FreeValue1", defaults.freeUpMB);
    FreeIntervalMin = number("FreeTime", defaults.freeIntervalMin);
    CpuLimitPercent = number("FreeCPU", defaults.cpuLimitPercent);
    MenuFreeMB1 = number("Menu1", defaults.menuFreeMB1);
    MenuFreeMB2 = number("Menu2", defaults.menuFreeMB2);
    MenuFreeMB3 = number("Menu3", defaults.menuFreeMB3);
    // Read as "AutoclearClipboard", saved as "AutoClearClipboard": one value for the registry,
    // which ignores case; keep both spellings.
    ClearClipboardFlag = integer("AutoclearClipboard", 0, 0);
    RamIconFlag = integer("RAMIcon", 0, 0);
    PlaySoundFlag = integer("PlaySound", 0, 0);
    const std::string defaultSound = currentDir + "\\confirmation.wav";
    SoundFile = LoadValue<std::string>(
        reg, "Music", [&](const std::string& n) { return reg.ReadString(n); }, defaultSound, defaultSound);
    // The one value whose defaults differ: a first start registers the agent.
    AutoStartFlag = integer("AutoStart", 1, 0);
}

void AgentStore::RegisterAutoStart(RegistryPort& registry, const std::string& currentDir) const
{
    // The defaults that stood in for an unreadable agent key must not change the entry.
    if (!agentKeyRead_) return;
    TRegistry reg(registry);
    reg.SetRootKey(RegRoot::LocalMachine);
    // The load never creates the Run key: without it there is nothing to keep in step (the
    // adapter would otherwise aim the write at the root key). The save creates it.
    if (!reg.OpenKey(kRunKey, false)) return;
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
    // Written as "Disable_CPU_Detect" and "AutoClearClipboard", read as "Disable_CPU_detect"
    // and "AutoclearClipboard" (see Load): the same two values. Keep both spellings.
    reg.WriteInteger("Disable_CPU_Detect", flag(c.cpuDetectDisabled));
    reg.WriteInteger("Always on Top", flag(c.alwaysOnTop));
    reg.WriteInteger("Target Fre RAM", c.targetFreeMB);
    reg.WriteInteger("Minimum Free RAM", c.minimumFreeMB);
    reg.WriteFloat("FreeValue1", c.freeUpMB);
    reg.WriteFloat("FreeTime", c.freeIntervalMin);
    reg.WriteFloat("FreeCPU", c.cpuLimitPercent);
    reg.WriteFloat("Menu1", c.menuFreeMB1);
    reg.WriteFloat("Menu2", c.menuFreeMB2);
    reg.WriteFloat("Menu3", c.menuFreeMB3);
    reg.WriteInteger("AutoClearClipboard", flag(c.clearClipboard));
    reg.WriteInteger("RAMIcon", flag(c.ramIcon));
    reg.WriteInteger("PlaySound", flag(c.playSound));
    reg.WriteString("Music", c.soundFile);
    reg.WriteInteger("AutoStart", flag(c.autoStart));
}

void AgentStore::SignalUpdate(RegistryPort& registry)
{
    TRegistry reg(registry);
    OpenAgentKey(reg);
    reg.WriteInteger("Update", 1);
}

}  // namespace lumora
