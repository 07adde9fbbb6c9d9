// The restart component: the flags each of its properties asks the platform for, the shutdown
// privilege around the request, and what a refusal or a token failure does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePorts.h"
#include "tuning/XReboot.h"

namespace lumora {
namespace {

TEST(XReboot, AsksForTheFlagsOfItsPropertiesWithThePrivilegeAround)
{
    struct Case {
        TRebootOperation operation;
        bool powerOff, force;
        const char* request;
    } cases[] = {
        {roReboot, false, false, "exit 2"},
        {roLogOff, true, false, "exit 8"},
        {roShutDown, true, true, "exit 13"},
        {roLogOff, false, true, "exit 4"},
        {roHibernate, true, true, "power hibernate forced"},
        {roSuspend, true, false, "power suspend"},
    };
    for (const auto& c : cases) {
        fakes::FakePower power;
        TXWinReboot reboot(power);
        reboot.Operation = c.operation;
        reboot.PowerOff = c.powerOff;
        reboot.ForceTerminateProcesses = c.force;
        EXPECT_TRUE(reboot.Execute());
        EXPECT_EQ(power.calls, (std::vector<std::string>{"open", "lookup", "enable", "close", c.request, "open",
                                                         "lookup", "disable", "close"}))
            << c.request;
    }
}

TEST(XReboot, TokenFailuresAreIgnoredAndARefusalIsReported)
{
    fakes::FakePower power;
    power.tokenOk = false;
    power.requestOk = false;
    TXWinReboot reboot(power);
    EXPECT_EQ(reboot.Operation, roReboot);
    EXPECT_FALSE(reboot.Execute());
    EXPECT_EQ(power.calls, (std::vector<std::string>{"open", "exit 2", "open"}));
    fakes::FakePower noLookup;
    noLookup.lookupOk = false;
    TXWinReboot second(noLookup);
    EXPECT_FALSE(second.SetShutdownPrivilege(true));
    EXPECT_EQ(noLookup.calls, (std::vector<std::string>{"open", "lookup", "close"}));
}

}  // namespace
}  // namespace lumora
