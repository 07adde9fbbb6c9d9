// The set of ports the system runs on: the real Win32 ones or the tests' fakes.
#pragma once

namespace lumora {

class RegistryPort;
class ProfilePort;
class SystemPort;
class ShellPort;
class PowerPort;
class DialogPort;
class PerformancePort;
class Module16Port;
class ToolHelpPort;

struct Ports {
    RegistryPort& registry;
    ProfilePort& profile;
    SystemPort& system;
    ShellPort& shell;
    PowerPort& power;
    DialogPort& dialogs;
    PerformancePort& performance;
    Module16Port& module16;
    ToolHelpPort& toolHelp;
};

}  // namespace lumora
