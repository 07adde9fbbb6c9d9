// Tool help port: the process snapshot functions, looked up by name in kernel32.
#pragma once
#include <cstdint>
#include <vector>

namespace lumora {

class ToolHelpPort {
public:
    virtual ~ToolHelpPort() = default;
    // CreateToolhelp32Snapshot(2, 0); 0 when tool help is unavailable.
    virtual std::uintptr_t createProcessSnapshot() = 0;
    // Process32First/Next: record receives one whole PROCESSENTRY32 as the platform lays it out;
    // false when no record was delivered or tool help is unavailable.
    virtual bool firstProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record) = 0;
    virtual bool nextProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record) = 0;
    virtual void closeSnapshot(std::uintptr_t snapshot) = 0;
};

}  // namespace lumora
