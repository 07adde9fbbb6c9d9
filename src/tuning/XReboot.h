// TXWinReboot: log-off, restart, shutdown, suspend and hibernate, with the shutdown privilege
// switched on for the duration of the request.
#pragma once
#include <cstdint>

#include "ports/Power.h"

namespace lumora {

enum TRebootOperation : std::uint8_t { roLogOff, roReboot, roShutDown, roSuspend, roHibernate };

class TXWinReboot {
public:
    explicit TXWinReboot(PowerPort& power) : power_(power) {}

    TRebootOperation Operation = roReboot;
    bool PowerOff = false;
    bool ForceTerminateProcesses = false;

    // True when the platform accepted the request. Never raises.
    bool Execute();
    bool SetShutdownPrivilege(bool enable);

    // The exit flags Execute asks for with the current properties (first three operations).
    std::uint32_t ExitFlags() const;

private:
    PowerPort& power_;
};

}  // namespace lumora
