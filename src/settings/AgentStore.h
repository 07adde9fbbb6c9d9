// The tray agent's settings: HKCU\Software\Lumora and the machine's Run entry, as data.
//
// The store holds what the last load read (the window state the RAM and Options pages show and
// edit); a save writes what the pages hold. No control is touched here.
#pragma once
#include <cstdint>
#include <string>

#include "ports/Registry.h"
#include "ports/System.h"

namespace lumora {

// Relative to HKEY_CURRENT_USER.
inline constexpr const char* kAgentKey = "Software\\Lumora";

// The values the agent uses when none are stored, and the RAM page's "Automatic" choice.
struct AgentAmounts {
    std::uint16_t targetFreeMB, minimumFreeMB;
    double freeUpMB, freeIntervalMin, cpuLimitPercent, menuFreeMB1, menuFreeMB2, menuFreeMB3;
};
AgentAmounts DefaultAgentAmounts(std::uint16_t totalPhysMB);

// What a save writes: the pages' controls as they stand, and the sound file the picker chose.
struct AgentChoices {
    bool cpuDetectDisabled = false;
    bool alwaysOnTop = false;
    std::int32_t targetFreeMB = 0;
    std::int32_t minimumFreeMB = 0;
    double freeUpMB = 0, freeIntervalMin = 0, cpuLimitPercent = 0;
    double menuFreeMB1 = 0, menuFreeMB2 = 0, menuFreeMB3 = 0;
    bool clearClipboard = false;
    bool ramIcon = false;
    bool playSound = false;
    std::string soundFile;
    bool autoStart = false;
};

class AgentStore {
public:
    // --- The loaded values (texts start empty, numbers at 0, flags off)
    std::uint16_t TargetFreeMB = 0;
    std::uint16_t MinimumFreeMB = 0;
    double FreeUpMB = 0;
    double FreeIntervalMin = 0;
    double CpuLimitPercent = 0;
    double MenuFreeMB1 = 0;
    double MenuFreeMB2 = 0;
    double MenuFreeMB3 = 0;
    std::uint16_t CpuDetectDisabled = 0;
    std::uint16_t AlwaysOnTopFlag = 0;
    std::uint16_t AutoStartFlag = 0;
    std::uint16_t ClearClipboardFlag = 0;
    std::uint16_t RamIconFlag = 0;
    std::uint16_t PlaySoundFlag = 0;
    std::string SoundFile;

    void SetAmounts(const AgentAmounts& amounts);

    // The agent's folder into currentDir: "CurrentDir" from the agent key, or the working folder,
    // which a first start (or a value stored with another type) writes there. currentDir is set
    // before that write, so a refused write still leaves the run its folder.
    static void SettleCurrentDir(RegistryPort& registry, SystemPort& system, std::string& currentDir);
    // The agent key's values; loading never fails. The defaults follow the memory.
    void Load(RegistryPort& registry, std::uint16_t totalPhysMB, const std::string& currentDir);
    // Registers or removes the agent's autostart entry as the loaded "AutoStart" says; the one
    // write of a load. Skipped when the Run key does not exist or the agent key could not be read.
    void RegisterAutoStart(RegistryPort& registry, const std::string& currentDir) const;
    // The autostart entry, then every value of the agent key.
    static void Save(RegistryPort& registry, const AgentChoices& choices, const std::string& currentDir);
    // "Update" = 1: tells the agent to read its key again.
    static void SignalUpdate(RegistryPort& registry);

private:
    // The last load opened the agent key, so the loaded "AutoStart" is the stored one.
    bool agentKeyRead_ = false;
};

}  // namespace lumora
