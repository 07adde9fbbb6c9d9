// TSystemProbe: snapshots of memory, free resources, 9x dynamic statistics and processes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ports/Ports.h"
#include "ui/Controls.h"

namespace lumora {

class SystemPort;
class Module16Port;
class RegistryPort;
class ToolHelpPort;

// A copy of the platform memory status plus the page file in use. The platform's unsigned
// 32-bit byte counts are kept bit for bit in the signed fields.
class TMemory {
public:
    explicit TMemory(SystemPort& system) : system_(system) {}
    void Refresh();

    std::uint8_t MemoryLoad = 0;
    std::int32_t PhysicalTotal = 0;
    std::int32_t PhysicalFree = 0;
    std::int32_t PageFileTotal = 0;
    std::int32_t PageFileFree = 0;
    std::int32_t VirtualTotal = 0;
    std::int32_t VirtualFree = 0;
    std::int32_t SwapFileSize = 0;
    std::int32_t SwapUsage = 0;

private:
    SystemPort& system_;
};

// Free system, GDI and USER resources in percent (Windows 9x only).
class TResources {
public:
    TResources(SystemPort& system, Module16Port& module16) : system_(system), module16_(module16) {}
    // On Windows NT returns at once and keeps the figures.
    void Refresh();

    std::uint8_t SystemResources = 0;
    std::uint8_t GDIResources = 0;
    std::uint8_t UserResources = 0;

private:
    SystemPort& system_;
    Module16Port& module16_;
    std::uint32_t userModule_ = 0;
    std::uint32_t getFreeSystemResources_ = 0;
};

// Kernel figures from the Windows 9x dynamic statistics; -1 for an absent statistic.
class TKernel {
public:
    explicit TKernel(RegistryPort& registry) : registry_(registry) {}
    // When the statistics key is missing (Windows NT) the figures keep their values.
    void Refresh();

    std::int32_t CPUUsage = 0;
    std::int32_t Threads = 0;
    std::int32_t VMs = 0;

private:
    RegistryPort& registry_;
};

// Dial-up adapter figures from the Windows 9x dynamic statistics; -1 for an absent statistic.
class TDialUp {
public:
    explicit TDialUp(RegistryPort& registry) : registry_(registry) {}
    void Refresh();

    std::int32_t ConnectSpeed = 0;
    std::int32_t BytesRecvd = 0;
    std::int32_t BytesXmit = 0;
    std::int32_t TotalBytesRecvd = 0;
    std::int32_t TotalBytesXmit = 0;

private:
    RegistryPort& registry_;
};

// The running processes as the platform's records, in enumeration order.
class TProcess {
public:
    explicit TProcess(ToolHelpPort& toolHelp) : toolHelp_(toolHelp) {}
    // Replaces the list; without tool help the list is empty.
    void Refresh();

    std::size_t RecordCount() const { return count_; }
    // One whole record as the platform laid it out; index below RecordCount().
    const std::vector<std::uint8_t>& Record(std::size_t index) const;

    std::int32_t ProcessTotal = 0;

private:
    ToolHelpPort& toolHelp_;
    // Slots are kept between refreshes so that a steady process list costs no allocation;
    // only the first count_ are records of the last refresh.
    std::vector<std::vector<std::uint8_t>> records_;
    std::size_t count_ = 0;
};

class TSystemProbe {
public:
    // The properties a form stores for its probe, applied after construction.
    struct Stored {
        std::int32_t RefreshInterval = 5000;
        bool AutoRefresh = true;
        std::int32_t RefreshTime = -1;
        bool SmartRefresh = false;
    };

    // A fresh component: interval 5000 and its timer running.
    explicit TSystemProbe(Ports& ports);
    // A component loaded from a form: construction, then the stored properties, then Loaded.
    TSystemProbe(Ports& ports, const Stored& stored);
    ~TSystemProbe();
    TSystemProbe(const TSystemProbe&) = delete;
    TSystemProbe& operator=(const TSystemProbe&) = delete;

    // Reads every group of figures. Errors propagate; figures read before the failing group
    // keep their new values, Status stays "Refreshing..." and OnRefreshed is not called.
    void Refresh();
    // Runs once the stored properties have been applied: refreshes when AutoRefresh is set.
    void Loaded();

    std::int32_t RefreshInterval() const { return refreshInterval_; }
    // Touch the timer only on a real change.
    void SetRefreshInterval(std::int32_t interval);
    bool AutoRefresh() const { return autoRefresh_; }
    void SetAutoRefresh(bool enabled);

    // The internal timer: its interval and state follow RefreshInterval and AutoRefresh, and its
    // tick refreshes. The toolkit runs only the form's own timer, never this one: whoever wants
    // the probe to refresh by itself drives it.
    TTimer& Timer() { return *timer_; }

    std::string Status;
    // Milliseconds of the first completed refresh; -1 measures the next one.
    std::int32_t RefreshTime = -1;
    // Sets the interval to five times the measured refresh time.
    bool SmartRefresh = false;
    std::function<void(TSystemProbe& sender)> OnRefreshed;

    TResources& Resources() { return *resources_; }
    TMemory& Memory() { return *memory_; }
    TKernel& Kernel() { return *kernel_; }
    TDialUp& DialUp() { return *dialUp_; }
    TProcess& Process() { return *process_; }

private:
    SystemPort& system_;
    std::int32_t refreshInterval_ = 0;
    bool autoRefresh_ = false;
    std::unique_ptr<TTimer> timer_;
    std::unique_ptr<TMemory> memory_;
    std::unique_ptr<TResources> resources_;
    std::unique_ptr<TKernel> kernel_;
    std::unique_ptr<TDialUp> dialUp_;
    std::unique_ptr<TProcess> process_;
};

}  // namespace lumora
