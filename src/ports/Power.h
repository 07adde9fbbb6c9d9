// Power port: the process token's shutdown privilege and the exit and power-state requests.
#pragma once
#include <cstdint>

namespace lumora {

class PowerPort {
public:
    virtual ~PowerPort() = default;
    // Opens the current process's token for adjusting and querying privileges.
    virtual bool openProcessToken() = 0;
    virtual bool lookupShutdownPrivilege() = 0;
    // Enables (attribute 2) or disables (0) the looked-up privilege in the open token.
    virtual bool adjustShutdownPrivilege(bool enable) = 0;
    virtual void closeToken() = 0;
    virtual bool exitWindows(std::uint32_t flags) = 0;
    virtual bool setSystemPowerState(bool suspend, bool force) = 0;
};

}  // namespace lumora
