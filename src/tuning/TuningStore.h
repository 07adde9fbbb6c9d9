// The Windows tuning values: SYSTEM.INI's disk cache and 386Enh entries, the file system's
// allocation value and its name and directory cache templates, as data.
//
// The store holds what the last load read (the window state the Disk Cache, File Cache and
// Tweak pages show and edit); a save writes them back with the pages' choices. No control is
// touched here.
#pragma once
#include <cstdint>
#include <string>

#include "ports/Profile.h"
#include "ports/Registry.h"
#include "ports/System.h"

namespace lumora {

// The choices a save takes from the pages rather than from the loaded values.
struct TuningChoices {
    bool contiguousAllocation = false;
    bool diskBuffers = false;
    bool conservativeSwap = false;
    int role = 0;  // the File Cache page's role item; 0 is "User Defined"
    // A File Cache control changed since the last load: only then does the save choose a
    // template for the user.
    bool fileCacheEdited = false;
};

class TuningStore {
public:
    // --- The loaded values (texts start empty, numbers at 0)
    std::string MinFileCacheText;
    std::string MaxFileCacheText;
    std::string ChunkSizeText;
    std::string TemplateName;
    std::int32_t NameCacheSize = 0;
    std::int32_t PathCacheSize = 0;
    std::int32_t ContigAllocSize = 0;
    std::string PageBuffersText;
    std::string ConservativeSwapText;

    // The stored values that switch the three tweaks on.
    static constexpr std::int32_t kContigAllocOn = 512;
    static constexpr const char* kPageBuffersOn = "32";
    static constexpr const char* kConservativeSwapOn = "1";
    // The template the save writes when the user chose sizes of their own.
    static constexpr const char* kOwnTemplate = "Lumora";

    // The tweaks, the file-system template and the disk cache texts, in that order. Never
    // fails: every value that cannot be read takes its fallback silently.
    void Load(RegistryPort& registry, ProfilePort& profile);
    // The tweaks, the file-system template and the disk cache texts, in that order; the first
    // write the platform refuses ends the save. SYSTEM.INI is flushed once, after its last
    // change, also when a refused write ends the save after it was changed.
    void Save(RegistryPort& registry, ProfilePort& profile, SystemPort& system, const TuningChoices& choices) const;
};

}  // namespace lumora
