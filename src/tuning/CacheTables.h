// The cache pages' tables: disk cache profiles, file-system roles and the sliders' grid units.
#pragma once
#include <cstdint>
#include <string>

namespace lumora {

// One slider position is this many units of the value it sets.
inline constexpr std::int32_t kKbPerCachePosition = 1024;  // disk cache limits, kilobytes
inline constexpr std::int32_t kKbPerChunkPosition = 32;    // disk cache chunk, kilobytes
inline constexpr std::int32_t kNamesPerPosition = 512;     // name cache entries
inline constexpr std::int32_t kPathsPerPosition = 8;       // directory cache entries

// --- Disk cache profiles: items 1 to 6 of the profile box ("User Defined", item 0, has none).
struct DiskCacheProfile {
    const char* item;
    std::int32_t minimum, maximum, chunk;  // slider positions
};
// The profile box's items, in the order of the rows of DiskProfile.
enum DiskProfileItem : int {
    kStandardSystem = 1,
    kPowerUser,
    kMultimedia,
    kGamingSystem,
    kCdWriter,
    kLowMemorySystem,
};
inline constexpr int kDiskProfileCount = kLowMemorySystem;
inline constexpr const char* kUserDefined = "User Defined";

// The profile of an item from 1 to kDiskProfileCount. "Gaming System" asks for a larger chunk
// once the machine has 128 MB or more.
inline DiskCacheProfile DiskProfile(int item, std::uint16_t totalMB)
{
    const DiskCacheProfile profiles[kDiskProfileCount] = {
        {"Standard System", 2, 8, 16}, {"Power User", 4, 12, 32},
        {"Multimedia", 2, 6, 128},     {"Gaming System", 0, 6, totalMB >= 128 ? 64 : 32},
        {"CD Writer", 5, 5, 8},        {"Low Memory System", 0, 4, 8},
    };
    return profiles[item - kStandardSystem];
}

// The first profile whose positions the three sliders show; 0 ("User Defined") when none does.
inline int RecogniseDiskProfile(std::int32_t minimum, std::int32_t maximum, std::int32_t chunk, std::uint16_t totalMB)
{
    for (int item = 1; item <= kDiskProfileCount; ++item) {
        const DiskCacheProfile p = DiskProfile(item, totalMB);
        if (p.minimum == minimum && p.maximum == maximum && p.chunk == chunk) return item;
    }
    return 0;
}

// --- File-system roles: items 1 to 3 of the role box, after Windows' own templates. Their name
// cache sizes lie off the slider's grid of 512: the slider shows the position below and the
// size stays exact.
struct FileSystemRole {
    const char* item;
    const char* templateName;
    std::int32_t namePosition, nameCache, pathPosition, pathCache;
};
inline constexpr FileSystemRole kFileSystemRoles[] = {
    {"Desktop Computer", "Desktop", 1, 677, 4, 32},
    {"Mobile or docking system", "Mobile", 0, 337, 2, 16},
    {"Network Server", "Server", 5, 2729, 8, 64},
};
inline constexpr int kDesktopRole = 1;
inline constexpr int kServerRole = 3;

// The role whose template is named exactly so, case included; 0 ("User Defined") for any other.
inline int RoleOfTemplate(const std::string& templateName)
{
    int role = 0;
    for (const FileSystemRole& r : kFileSystemRoles) {
        ++role;
        if (templateName == r.templateName) return role;
    }
    return 0;
}

}  // namespace lumora
