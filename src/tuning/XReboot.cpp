// TXWinReboot's requests and privilege handling.
#include "tuning/XReboot.h"

namespace lumora {

namespace {
enum : std::uint32_t { kEwxLogOff = 0, kEwxShutdown = 1, kEwxReboot = 2, kEwxForce = 4, kEwxPowerOff = 8 };
}

bool TXWinReboot::SetShutdownPrivilege(bool enable)
{
    // On systems without access tokens every step here fails, and the request goes ahead anyway.
    if (!power_.openProcessToken()) return false;
    bool ok = false;
    if (power_.lookupShutdownPrivilege()) ok = power_.adjustShutdownPrivilege(enable);
    power_.closeToken();
    return ok;
}

std::uint32_t TXWinReboot::ExitFlags() const
{
    std::uint32_t flags = kEwxLogOff;
    if (Operation == roReboot) flags = kEwxReboot;
    if (Operation == roShutDown) flags = kEwxShutdown;
    if (PowerOff) flags |= kEwxPowerOff;
    if (ForceTerminateProcesses) flags |= kEwxForce;
    return flags;
}

bool TXWinReboot::Execute()
{
    SetShutdownPrivilege(true);
    bool ok = false;
    if (Operation == roSuspend || Operation == roHibernate) {
        ok = power_.setSystemPowerState(Operation == roSuspend, ForceTerminateProcesses);
    } else {
        ok = power_.exitWindows(ExitFlags());
    }
    SetShutdownPrivilege(false);
    return ok;
}

}  // namespace lumora
