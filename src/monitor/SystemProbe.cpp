// TSystemProbe and its groups of figures: memory, free resources, dynamic statistics, processes.
#include "monitor/SystemProbe.h"

#include <algorithm>
#include <stdexcept>

#include "core/Exception.h"
#include "core/LittleEndian.h"
#include "monitor/DynamicStatistics.h"
#include "ports/Module16.h"
#include "ports/Registry.h"
#include "ports/System.h"
#include "ports/ToolHelp.h"
#include "settings/Registry.h"

namespace lumora {

namespace {

// The 64-bit build's memory status is wider than the 32-bit one these figures are defined on;
// beyond 4 GB the 32-bit call reports the largest count it can, and so do we.
std::uint32_t Narrow(std::uint64_t bytes)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, 0xFFFFFFFFu));
}

template <class Figures>
struct DynamicStatistic {
    std::string name;
    std::int32_t Figures::*figure;
};

// Reads each statistic into its figure, -1 for one that is absent. Without the statistics key
// (Windows NT) every figure keeps its value. The adapter closes the key on every path.
template <class Figures, std::size_t N>
void ReadDynamicStatistics(RegistryPort& port, Figures& figures, const DynamicStatistic<Figures> (&statistics)[N])
{
    TRegistry reg(port);
    reg.SetRootKey(RegRoot::DynData);
    if (!reg.OpenKey(kStatDataKey, false)) return;
    for (const auto& statistic : statistics) {
        if (!reg.ValueExists(statistic.name)) {
            figures.*statistic.figure = -1;
            continue;
        }
        // The platform delivers 4 bytes; anything shorter reads as if zero-padded.
        std::uint8_t bytes[4] = {0, 0, 0, 0};
        reg.ReadBinaryData(statistic.name, bytes, sizeof bytes);
        figures.*statistic.figure = static_cast<std::int32_t>(ReadLittleEndian32(bytes));
    }
    reg.CloseKey();
}

// Releases a process snapshot however the enumeration ends.
class SnapshotGuard {
public:
    SnapshotGuard(ToolHelpPort& port, std::uintptr_t snapshot) : port_(port), snapshot_(snapshot) {}
    ~SnapshotGuard()
    {
        if (snapshot_ != 0) port_.closeSnapshot(snapshot_);
    }
    SnapshotGuard(const SnapshotGuard&) = delete;
    SnapshotGuard& operator=(const SnapshotGuard&) = delete;

private:
    ToolHelpPort& port_;
    std::uintptr_t snapshot_;
};

}  // namespace

void TMemory::Refresh()
{
    const MemoryStatus status = system_.memoryStatus();
    const std::uint32_t totalPageFile = Narrow(status.totalPageFile);
    const std::uint32_t availPageFile = Narrow(status.availPageFile);
    MemoryLoad = static_cast<std::uint8_t>(status.memoryLoad);
    PhysicalTotal = static_cast<std::int32_t>(Narrow(status.totalPhys));
    PhysicalFree = static_cast<std::int32_t>(Narrow(status.availPhys));
    VirtualTotal = static_cast<std::int32_t>(Narrow(status.totalVirtual));
    VirtualFree = static_cast<std::int32_t>(Narrow(status.availVirtual));
    PageFileTotal = static_cast<std::int32_t>(totalPageFile);
    PageFileFree = static_cast<std::int32_t>(availPageFile);
    SwapFileSize = static_cast<std::int32_t>(totalPageFile - availPageFile);
    if (totalPageFile == 0) {
        // No page file: nothing of it is in use.
        SwapUsage = 0;
        return;
    }
    // The free share is truncated before it is subtracted (37.9 % free is 63 % in use), in
    // extended precision, quotient first.
    const long double freeShare = static_cast<long double>(availPageFile) / static_cast<long double>(totalPageFile);
    const auto freePercent = static_cast<std::int64_t>(freeShare * 100);
    SwapUsage = static_cast<std::int32_t>(100 - freePercent);
}

void TResources::Refresh()
{
    OsVersion version;
    system_.version(version);  // a refused query leaves a record that is not NT
    if (version.platformId == kPlatformNt) return;

    static const std::string kUserModule = "user.exe";
    static const std::string kGetFreeSystemResources = "GetFreeSystemResources";
    userModule_ = module16_.loadLibrary16(kUserModule);
    if (userModule_ < 32) throw Exception("Can't load USER.EXE!");
    // USER is always loaded on Windows 9x, so the handle stays valid after our reference
    // to it is dropped.
    module16_.freeLibrary16(userModule_);
    getFreeSystemResources_ = module16_.getProcAddress16(userModule_, kGetFreeSystemResources);
    if (getFreeSystemResources_ == 0) throw Exception("Can't get address of GetFreeSystemResources!");
    SystemResources = static_cast<std::uint8_t>(module16_.call16(getFreeSystemResources_, 0));
    GDIResources = static_cast<std::uint8_t>(module16_.call16(getFreeSystemResources_, 1));
    UserResources = static_cast<std::uint8_t>(module16_.call16(getFreeSystemResources_, 2));
}

void TKernel::Refresh()
{
    static const DynamicStatistic<TKernel> kStatistics[] = {
        {kCpuUsageStatistic, &TKernel::CPUUsage},
        {"KERNEL\\Threads", &TKernel::Threads},
        {"KERNEL\\VMs", &TKernel::VMs},
    };
    ReadDynamicStatistics(registry_, *this, kStatistics);
}

void TDialUp::Refresh()
{
    static const DynamicStatistic<TDialUp> kStatistics[] = {
        {"Dial-Up Adapter\\ConnectSpeed", &TDialUp::ConnectSpeed},
        {"Dial-Up Adapter\\BytesRecvd", &TDialUp::BytesRecvd},
        {"Dial-Up Adapter\\BytesXmit", &TDialUp::BytesXmit},
        {"Dial-Up Adapter\\TotalBytesRecvd", &TDialUp::TotalBytesRecvd},
        {"Dial-Up Adapter\\TotalBytesXmit", &TDialUp::TotalBytesXmit},
    };
    ReadDynamicStatistics(registry_, *this, kStatistics);
}

const std::vector<std::uint8_t>& TProcess::Record(std::size_t index) const
{
    if (index >= count_) throw std::out_of_range("process record index");
    return records_[index];
}

void TProcess::Refresh()
{
    count_ = 0;
    const std::uintptr_t snapshot = toolHelp_.createProcessSnapshot();
    SnapshotGuard guard(toolHelp_, snapshot);
    auto nextSlot = [this]() -> std::vector<std::uint8_t>& {
        if (count_ == records_.size()) records_.emplace_back();
        return records_[count_];
    };
    bool ok = toolHelp_.firstProcess(snapshot, nextSlot());
    while (ok) {
        ++count_;
        ok = toolHelp_.nextProcess(snapshot, nextSlot());
    }
    ProcessTotal = static_cast<std::int32_t>(count_);
}

TSystemProbe::TSystemProbe(Ports& ports) : system_(ports.system)
{
    dialUp_ = std::make_unique<TDialUp>(ports.registry);
    resources_ = std::make_unique<TResources>(ports.system, ports.module16);
    memory_ = std::make_unique<TMemory>(ports.system);
    kernel_ = std::make_unique<TKernel>(ports.registry);
    process_ = std::make_unique<TProcess>(ports.toolHelp);
    RefreshTime = -1;
    timer_ = std::make_unique<TTimer>();
    timer_->OnTimer = [this] { Refresh(); };
    refreshInterval_ = 5000;
    timer_->SetInterval(5000);
    SetAutoRefresh(true);
}

TSystemProbe::TSystemProbe(Ports& ports, const Stored& stored) : TSystemProbe(ports)
{
    SetRefreshInterval(stored.RefreshInterval);
    SetAutoRefresh(stored.AutoRefresh);
    RefreshTime = stored.RefreshTime;
    SmartRefresh = stored.SmartRefresh;
    Loaded();
}

TSystemProbe::~TSystemProbe()
{
    process_.reset();
    timer_.reset();
    resources_.reset();
    memory_.reset();
    kernel_.reset();
    dialUp_.reset();
}

void TSystemProbe::SetRefreshInterval(std::int32_t interval)
{
    if (interval == refreshInterval_) return;
    refreshInterval_ = interval;
    timer_->SetInterval(interval);
}

void TSystemProbe::SetAutoRefresh(bool enabled)
{
    if (enabled == autoRefresh_) return;
    autoRefresh_ = enabled;
    timer_->SetEnabled(enabled);
}

void TSystemProbe::Loaded()
{
    if (autoRefresh_) Refresh();
}

void TSystemProbe::Refresh()
{
    Status = "Refreshing...";
    const std::uint32_t start = system_.tickCount();
    resources_->Refresh();
    memory_->Refresh();
    kernel_->Refresh();
    dialUp_->Refresh();
    process_->Refresh();
    if (RefreshTime == -1) {
        // The tick count wraps after 49.7 days; the difference is still right across it.
        RefreshTime = static_cast<std::int32_t>(system_.tickCount() - start);
        if (SmartRefresh) SetRefreshInterval(static_cast<std::int32_t>(static_cast<std::uint32_t>(RefreshTime) * 5u));
    }
    Status = "Ready";
    if (OnRefreshed) OnRefreshed(*this);
}

}  // namespace lumora
