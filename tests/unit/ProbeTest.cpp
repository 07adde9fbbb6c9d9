// TSystemProbe: its timer properties, the refresh order and timing, and each group of figures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/ErrorOf.h"
#include "core/Exception.h"
#include "fakes/FakePorts.h"
#include "monitor/SystemProbe.h"

namespace lumora {
namespace {

using fakes::kStatDataKey;

using testing::ErrorOf;

using fakes::Le32;

TEST(Probe, NewProbeRunsItsTimerEvery5000ms)
{
    fakes::FakeMachine m;
    TSystemProbe probe(m.ports);
    EXPECT_EQ(probe.RefreshInterval(), 5000);
    EXPECT_TRUE(probe.AutoRefresh());
    EXPECT_EQ(probe.Timer().Interval(), 5000);
    EXPECT_TRUE(probe.Timer().Enabled());
    EXPECT_EQ(probe.RefreshTime, -1);
    EXPECT_EQ(probe.Status, "");
    EXPECT_EQ(m.system.memoryCalls, 0) << "nothing read before Loaded";
}

TEST(Probe, StoredPropertiesApplyThenRefreshOnlyWithAutoRefresh)
{
    fakes::FakeMachine m;
    TSystemProbe window(m.ports, TSystemProbe::Stored{1000, false, -1, false});
    EXPECT_EQ(window.Timer().Interval(), 1000);
    EXPECT_FALSE(window.Timer().Enabled());
    EXPECT_EQ(window.Status, "");
    EXPECT_EQ(m.system.memoryCalls, 0);

    TSystemProbe automatic(m.ports, TSystemProbe::Stored{2000, true, -1, false});
    EXPECT_EQ(automatic.Status, "Ready");
    EXPECT_EQ(m.system.memoryCalls, 1);
}

TEST(Probe, SettersTouchTheTimerOnlyOnARealChange)
{
    fakes::FakeMachine m;
    TSystemProbe probe(m.ports);
    probe.Timer().SetInterval(300);
    probe.Timer().SetEnabled(false);
    probe.SetRefreshInterval(5000);
    probe.SetAutoRefresh(true);
    EXPECT_EQ(probe.Timer().Interval(), 300);
    EXPECT_FALSE(probe.Timer().Enabled());
    probe.SetRefreshInterval(700);
    probe.SetAutoRefresh(false);
    probe.SetAutoRefresh(true);
    EXPECT_EQ(probe.Timer().Interval(), 700);
    EXPECT_TRUE(probe.Timer().Enabled());
}

TEST(Probe, TimerTickRefreshes)
{
    fakes::FakeMachine m;
    TSystemProbe probe(m.ports);
    probe.Timer().OnTimer();
    EXPECT_EQ(probe.Status, "Ready");
}

TEST(Probe, OnlyTheFirstCompletedRefreshIsTimedAndSmartRefreshUsesIt)
{
    const struct {
        std::uint32_t start, end;
        bool smart;
        std::int32_t time, interval;
    } cases[] = {
        {1000, 1040, true, 40, 200},
        {1000, 1000, true, 0, 0},
        {0xFFFFFFF0u, 0x10, false, 32, 1000},  // across the tick count's wrap
    };
    for (const auto& c : cases) {
        fakes::FakeMachine m;
        TSystemProbe probe(m.ports, TSystemProbe::Stored{1000, false, -1, c.smart});
        m.system.ticks = {c.start, c.end, 5000, 9000};
        probe.Refresh();
        EXPECT_EQ(probe.RefreshTime, c.time) << c.start << ".." << c.end;
        EXPECT_EQ(probe.RefreshInterval(), c.interval) << c.start << ".." << c.end;
        EXPECT_EQ(probe.Timer().Interval(), c.interval) << c.start << ".." << c.end;
        probe.Refresh();
        EXPECT_EQ(probe.RefreshTime, c.time) << "second refresh is not timed";
    }
    fakes::FakeMachine m;
    TSystemProbe probe(m.ports, TSystemProbe::Stored{1000, false, -1, false});
    m.system.ticks = {10, 20, 30, 55};
    probe.Refresh();
    probe.RefreshTime = -1;
    probe.Refresh();
    EXPECT_EQ(probe.RefreshTime, 25) << "-1 measures again";
}

TEST(Probe, CompletedRefreshReportsReadyToOnRefreshed)
{
    fakes::FakeMachine m;
    TSystemProbe probe(m.ports, TSystemProbe::Stored{1000, false, -1, false});
    std::vector<std::string> seen;
    probe.OnRefreshed = [&](TSystemProbe& sender) {
        seen.push_back(sender.Status + (&sender == &probe ? " from the probe" : " from elsewhere"));
    };
    probe.Refresh();
    EXPECT_EQ(seen, std::vector<std::string>{"Ready from the probe"});
}

// A failing group stops the refresh there: earlier groups keep their new figures, later ones
// their old ones, and the refresh is neither timed nor reported.
TEST(Probe, FailingGroupStopsTheRefreshInItsPlace)
{
    struct Case {
        const char* failing;
        std::function<void(fakes::FakeMachine&)> breakIt;
        bool resources, memory, kernel, dialUp;
    };
    const Case cases[] = {
        {"Resources", [](fakes::FakeMachine& m) { m.module16.handle = 2; }, false, false, false, false},
        {"Kernel", [](fakes::FakeMachine& m) { m.registry.PutString(kStatDataKey, "KERNEL\\CPUUsage", "x"); }, true,
         true, false, false},
        {"DialUp", [](fakes::FakeMachine& m) { m.registry.PutDword(kStatDataKey, "Dial-Up Adapter\\ConnectSpeed", 1); },
         true, true, true, false},
    };
    for (const Case& c : cases) {
        fakes::FakeMachine m;
        TSystemProbe probe(m.ports, TSystemProbe::Stored{1000, false, -1, false});
        m.registry.RemoveKey(kStatDataKey);
        m.registry.CreateKey(kStatDataKey);  // the statistics key without a statistic
        m.toolHelp.processes = {std::vector<std::uint8_t>(296, 1)};
        bool reported = false;
        probe.OnRefreshed = [&](TSystemProbe&) { reported = true; };
        c.breakIt(m);
        EXPECT_NE(ErrorOf([&] { probe.Refresh(); }), "<no error>") << c.failing;
        EXPECT_EQ(probe.Resources().GDIResources == 80, c.resources) << c.failing;
        EXPECT_EQ(probe.Memory().PhysicalTotal == 64 << 20, c.memory) << c.failing;
        EXPECT_EQ(probe.Kernel().CPUUsage == -1, c.kernel) << c.failing;
        EXPECT_EQ(probe.DialUp().ConnectSpeed == -1, c.dialUp) << c.failing;
        EXPECT_EQ(probe.Process().ProcessTotal, 0) << c.failing;
        EXPECT_EQ(probe.Status, "Refreshing...") << c.failing;
        EXPECT_EQ(probe.RefreshTime, -1) << c.failing;
        EXPECT_FALSE(reported) << c.failing;
    }
}

TEST(ProbeMemory, CopiesTheStatusAndDerivesTheSwapInUse)
{
    const struct {
        std::uint64_t total, avail;
        std::int32_t size, usage;
    } cases[] = {
        {100663296, 37748736, 62914560, 63},  // 37.5 % free
        {1000, 379, 621, 63},                 // 37.9 % free truncates to 37 before subtracting
        {1000, 0, 1000, 100},
        {1000, 1000, 0, 0},
        {0, 0, 0, 0},  // no page file
    };
    for (const auto& c : cases) {
        fakes::FakeMachine m;
        m.system.memory.totalPageFile = c.total;
        m.system.memory.availPageFile = c.avail;
        TMemory memory(m.system);
        memory.Refresh();
        EXPECT_EQ(memory.SwapFileSize, c.size) << c.avail << " of " << c.total;
        EXPECT_EQ(memory.SwapUsage, c.usage) << c.avail << " of " << c.total;
        EXPECT_EQ(memory.PageFileTotal, static_cast<std::int32_t>(c.total));
        EXPECT_EQ(memory.PageFileFree, static_cast<std::int32_t>(c.avail));
    }
}

TEST(ProbeMemory, KeepsTheLowByteOfTheLoadAnd32BitCountsBitForBit)
{
    fakes::FakeMachine m;
    m.system.memory = {0x1234, 0xC0000000u, 5, 7, 3, 0x7FFE0000u, 1ull << 36};
    TMemory memory(m.system);
    memory.Refresh();
    EXPECT_EQ(memory.MemoryLoad, 0x34);
    EXPECT_EQ(memory.PhysicalTotal, static_cast<std::int32_t>(0xC0000000u));
    EXPECT_EQ(memory.PhysicalFree, 5);
    EXPECT_EQ(memory.VirtualTotal, 0x7FFE0000);
    EXPECT_EQ(memory.VirtualFree, -1) << "beyond 4 GB saturates as the 32-bit call does";
}

TEST(ProbeResources, ReadsThreeFiguresThroughTheSixteenBitUser)
{
    fakes::FakeMachine m;
    m.module16.results[1] = 0x1FF;
    TResources resources(m.system, m.module16);
    resources.Refresh();
    EXPECT_EQ(m.module16.calls,
              (std::vector<std::string>{"load user.exe", "free 4660", "proc 4660 GetFreeSystemResources", "call 0",
                                        "call 1", "call 2"}));
    EXPECT_EQ(resources.SystemResources, 70);
    EXPECT_EQ(resources.GDIResources, 0xFF) << "low 8 bits";
    EXPECT_EQ(resources.UserResources, 90);
}

TEST(ProbeResources, ReturnsAtOnceOnNt)
{
    fakes::FakeMachine m;
    m.system.os.platformId = kPlatformNt;
    TResources resources(m.system, m.module16);
    resources.GDIResources = 42;
    resources.Refresh();
    EXPECT_TRUE(m.module16.calls.empty());
    EXPECT_EQ(resources.GDIResources, 42);
}

TEST(ProbeResources, ReportsAModuleOrExportThatCannotBeFound)
{
    const struct {
        std::uint32_t handle, address;
        const char* error;
    } cases[] = {
        {31, 1, "Can't load USER.EXE!"},
        {0, 1, "Can't load USER.EXE!"},
        {32, 0, "Can't get address of GetFreeSystemResources!"},
        {32, 1, "<no error>"},
    };
    for (const auto& c : cases) {
        fakes::FakeMachine m;
        m.module16.handle = c.handle;
        m.module16.address = c.address;
        TResources resources(m.system, m.module16);
        EXPECT_EQ(ErrorOf([&] { resources.Refresh(); }), c.error) << "handle " << c.handle;
    }
}

TEST(ProbeStatistics, ReadsFourByteFiguresAndMinusOneForAbsentOnes)
{
    fakes::FakeMachine m;
    m.registry.Put(kStatDataKey, "KERNEL\\CPUUsage", kRegBinary, Le32(37));
    m.registry.Put(kStatDataKey, "kernel\\threads", kRegNone, Le32(0xFFFFFFFE));
    m.registry.Put(kStatDataKey, "Dial-Up Adapter\\ConnectSpeed", kRegBinary, {0x10, 0x27});  // short: zero-padded
    m.registry.Put(kStatDataKey, "Dial-Up Adapter\\TotalBytesXmit", kRegBinary, Le32(123456));
    TKernel kernel(m.registry);
    TDialUp dialUp(m.registry);
    kernel.Refresh();
    dialUp.Refresh();
    EXPECT_EQ(kernel.CPUUsage, 37);
    EXPECT_EQ(kernel.Threads, -2);
    EXPECT_EQ(kernel.VMs, -1);
    EXPECT_EQ(dialUp.ConnectSpeed, 10000);
    EXPECT_EQ(dialUp.BytesRecvd, -1);
    EXPECT_EQ(dialUp.TotalBytesXmit, 123456);
    EXPECT_EQ(m.registry.openHandles(), 0);
}

TEST(ProbeStatistics, KeepFiguresWithoutTheStatisticsKey)
{
    fakes::FakeMachine m;
    m.registry.RemoveKey(kStatDataKey);
    TKernel kernel(m.registry);
    kernel.Threads = 12;
    kernel.Refresh();
    EXPECT_EQ(kernel.Threads, 12);
}

TEST(ProbeStatistics, WrongTypesAndRefusedReadsRaiseTheAdaptersErrors)
{
    const struct {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        bool refuse;
        const char* error;
    } cases[] = {
        {kRegSz, {'4', 0}, false, "Invalid data type for 'KERNEL\\Threads'"},
        {kRegExpandSz, {'4', 0}, false, "Invalid data type for 'KERNEL\\Threads'"},
        {kRegDword, Le32(4), false, "Invalid data type for 'KERNEL\\Threads'"},
        {kRegBinary, {1, 2, 3, 4, 5}, false, "Invalid data type for 'KERNEL\\Threads'"},
        {kRegBinary, Le32(4), true, "Failed to get data for 'KERNEL\\Threads'"},
    };
    for (const auto& c : cases) {
        fakes::FakeMachine m;
        m.registry.Put(kStatDataKey, "KERNEL\\CPUUsage", kRegBinary, Le32(9));
        m.registry.Put(kStatDataKey, "KERNEL\\Threads", c.type, c.data);
        if (c.refuse) m.registry.refuseQuery.insert("hkdd\\perfstats\\statdata\\kernel\\threads");
        TKernel kernel(m.registry);
        EXPECT_EQ(ErrorOf([&] { kernel.Refresh(); }), c.error) << "type " << c.type;
        EXPECT_EQ(kernel.CPUUsage, 9) << "read before the failing value";
        EXPECT_EQ(kernel.VMs, 0) << "not reached";
        EXPECT_EQ(m.registry.openHandles(), 0) << "key closed on the error path";
    }
}

TEST(ProbeProcess, EachRefreshReplacesTheListInEnumerationOrder)
{
    fakes::FakeMachine m;
    TProcess process(m.toolHelp);
    m.toolHelp.processes = {std::vector<std::uint8_t>(296, 1), std::vector<std::uint8_t>(296, 2),
                            std::vector<std::uint8_t>(296, 3)};
    process.Refresh();
    ASSERT_EQ(process.ProcessTotal, 3);
    EXPECT_EQ(process.Record(2), std::vector<std::uint8_t>(296, 3));
    m.toolHelp.processes = {std::vector<std::uint8_t>(296, 9)};
    process.Refresh();
    EXPECT_EQ(process.ProcessTotal, 1);
    EXPECT_EQ(process.RecordCount(), 1u);
    EXPECT_EQ(process.Record(0), std::vector<std::uint8_t>(296, 9));
    EXPECT_EQ(m.toolHelp.closed, (std::vector<std::uintptr_t>{77, 77}));
    m.toolHelp.available = false;
    process.Refresh();
    EXPECT_EQ(process.ProcessTotal, 0);
    EXPECT_EQ(process.RecordCount(), 0u);
}

}  // namespace
}  // namespace lumora
