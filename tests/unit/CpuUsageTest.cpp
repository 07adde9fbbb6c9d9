// The CPU usage meter: NT performance data sampling and arithmetic, the 9x statistic's life.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/ErrorOf.h"
#include "core/Exception.h"
#include "fakes/FakePorts.h"
#include "fakes/PerfDataBuilder.h"
#include "monitor/CpuUsage.h"

namespace lumora {
namespace {

using fakes::PerfDataBuilder;

const char* const kObjectError = "Unable to locate the \"Processor\" performance object";
const char* const kCounterError = "Unable to locate the \"% of CPU usage\" performance counter";
const char* const kIndexError = "CPU index out of bounds";
constexpr std::int64_t kSecond = 10000000;  // file time units

std::vector<std::uint8_t> Sample(std::uint16_t second, const std::vector<std::int64_t>& idle)
{
    return PerfDataBuilder().SystemTime(2001, 6, 15, 12, 0, second).Processor(idle).Build();
}

using testing::ErrorOf;

struct NtMeter : ::testing::Test {
    fakes::FakeMachine m;
    std::unique_ptr<CpuUsageMeter> meter;
    void SetUp() override
    {
        m.system.os.platformId = kPlatformNt;
        meter = std::make_unique<CpuUsageMeter>(m.ports);
    }
    // Queues the answers of the next samples and takes them.
    void Take(std::initializer_list<std::vector<std::uint8_t>> blocks)
    {
        for (const auto& block : blocks) {
            m.performance.blocks.assign(1, block);
            meter->SampleCpuUsage();
        }
    }
};

TEST(CpuMeterStartUp, FailsWhenTheVersionQueryIsRefused)
{
    fakes::FakeMachine m;
    m.system.versionOk = false;
    EXPECT_EQ(ErrorOf([&] { CpuUsageMeter meter(m.ports); }), "Can't get the Windows version");
}

TEST(CpuMeterStartUp, StartsWithAnEmptyBufferAndNoProcessors)
{
    fakes::FakeMachine m;
    CpuUsageMeter nine(m.ports);
    EXPECT_FALSE(nine.IsNtPlatform());
    m.system.os.platformId = kPlatformNt;
    CpuUsageMeter nt(m.ports);
    EXPECT_TRUE(nt.IsNtPlatform());
    EXPECT_EQ(nt.PerfBufferSize(), 8192);
    EXPECT_EQ(nt.ProcessorCount(), -1);
}

TEST_F(NtMeter, FractionIsOneMinusIdleShareOfTheIntervalUnclamped)
{
    const struct {
        std::int64_t idleDelta;
        double fraction;
    } cases[] = {
        {0, 1.0},
        {kSecond, 0.0},
        {kSecond / 4, 0.75},
        {kSecond + kSecond / 100, -0.01},  // idle a little longer than the interval
    };
    for (const auto& c : cases) {
        NtMeter::SetUp();
        Take({Sample(0, {5 * kSecond}), Sample(1, {5 * kSecond + c.idleDelta})});
        EXPECT_NEAR(meter->CpuUsageFraction(0), c.fraction, 1e-12) << "idle delta " << c.idleDelta;
    }
}

TEST_F(NtMeter, FirstReadingAndAnIntervalOfNoTimeGiveZero)
{
    Take({Sample(0, {123})});
    EXPECT_EQ(meter->CpuUsageFraction(0), 0.0) << "no earlier sample";
    Take({Sample(0, {500})});
    EXPECT_EQ(meter->CpuUsageFraction(0), 0.0) << "same SystemTime";
}

TEST_F(NtMeter, AskingBeforeAnySampleTakesOneAndGivesZero)
{
    m.performance.blocks.assign(1, Sample(0, {1, 2}));
    EXPECT_EQ(meter->CpuUsageFraction(1), 0.0);
    EXPECT_EQ(meter->ProcessorCount(), 2);
    EXPECT_EQ(m.performance.querySizes.size(), 1u);
}

TEST_F(NtMeter, IndexesFollowDeliveryOrderWithinTheFirstSamplesCount)
{
    Take({Sample(0, {0, 0, 0}), Sample(1, {kSecond / 2, kSecond / 4, kSecond})});
    EXPECT_EQ(meter->ProcessorCount(), 3);
    EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(0), 0.5);
    EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(1), 0.75);
    EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(2), 0.0);
    for (int index : {-1, 3}) EXPECT_EQ(ErrorOf([&] { meter->CpuUsageFraction(index); }), kIndexError) << index;
}

TEST_F(NtMeter, ProcessorCountStaysThatOfTheFirstSample)
{
    Take({Sample(0, {0, 0}), Sample(1, {kSecond / 2, kSecond / 2, 7})});
    EXPECT_EQ(meter->ProcessorCount(), 2);
    EXPECT_EQ(ErrorOf([&] { meter->CpuUsageFraction(2); }), kIndexError);
}

TEST_F(NtMeter, FewerInstancesUpdateOnlyThoseDelivered)
{
    Take({Sample(0, {0, 0}), Sample(1, {kSecond / 2, kSecond / 4}), Sample(2, {kSecond})});
    EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(0), 0.5);
    EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(1), 0.75) << "second counter kept its last interval";
}

TEST_F(NtMeter, AProcessorLeftOutOfASampleHasNoIntervalUntilTwoConsecutiveSamplesDeliverIt)
{
    // Processor 0 is busy from 0 to 1 s and idle from 1 s on; processor 1 is always half busy.
    const auto noProcessors = PerfDataBuilder().SystemTime(2001, 6, 15, 12, 0, 2).Processor({}).Build();
    const auto onlyFirst = PerfDataBuilder().SystemTime(2001, 6, 15, 12, 0, 5).Processor({4 * kSecond}).Build();
    const struct {
        std::vector<std::uint8_t> sample;
        double first, second;
        const char* what;
    } steps[] = {
        {Sample(0, {0, 0}), 0, 0, "first sample"},
        {Sample(1, {0, kSecond / 2}), 1, 0.5, "busy second"},
        {noProcessors, 1, 0.5, "neither delivered: both keep their last interval"},
        {Sample(3, {2 * kSecond, 3 * kSecond / 2}), 0, 0, "back after the gap: no interval yet"},
        {Sample(4, {3 * kSecond, 2 * kSecond}), 0, 0.5, "two consecutive deliveries"},
        {onlyFirst, 0, 0.5, "only the first delivered"},
        {Sample(6, {5 * kSecond, 3 * kSecond}), 0, 0, "the second is back: no interval yet"},
        {Sample(7, {6 * kSecond, 3 * kSecond + kSecond / 2}), 0, 0.5, "both again"},
    };
    for (const auto& step : steps) {
        Take({step.sample});
        EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(0), step.first) << step.what;
        EXPECT_DOUBLE_EQ(meter->CpuUsageFraction(1), step.second) << step.what;
    }
}

TEST_F(NtMeter, BufferGrowsIn4096ByteStepsAndKeepsItsSize)
{
    auto block = Sample(0, {0});
    block.resize(20000);  // padding after the objects, as a larger answer would carry
    Take({block});
    EXPECT_EQ(m.performance.querySizes, (std::vector<std::uint32_t>{8192, 12288, 16384, 20480}));
    EXPECT_EQ(meter->PerfBufferSize(), 20480);
    Take({Sample(1, {0})});
    EXPECT_EQ(m.performance.querySizes.back(), 20480u);
}

TEST_F(NtMeter, BufferStopsGrowingAt16MiB)
{
    m.performance.blocks.assign(1, std::vector<std::uint8_t>(16 * 1024 * 1024 + 1));
    EXPECT_EQ(ErrorOf([&] { meter->SampleCpuUsage(); }), kObjectError);
    EXPECT_EQ(meter->PerfBufferSize(), 16 * 1024 * 1024);
}

TEST_F(NtMeter, RefusedQueryParsesTheLastAnswerAgain)
{
    Take({Sample(0, {0}), Sample(1, {kSecond / 2})});
    m.performance.refuseWith = 2;
    meter->SampleCpuUsage();
    EXPECT_EQ(meter->CpuUsageFraction(0), 0.0) << "the same block again is an empty interval";
}

TEST_F(NtMeter, MissingObjectOrCounterRaiseTheirErrors)
{
    fakes::PerfObjectShape disk{236, {{6, 8, 8}}, {{"C:", {1}}}, false};
    m.performance.blocks.assign(1, PerfDataBuilder().Object(disk).Build());
    EXPECT_EQ(ErrorOf([&] { meter->SampleCpuUsage(); }), kObjectError);
    EXPECT_EQ(meter->ProcessorCount(), -1);
    fakes::PutU32(m.performance.blocks.front(), kBlockNumObjectTypes, 0xFFFFFFFF);
    EXPECT_EQ(ErrorOf([&] { meter->SampleCpuUsage(); }), kObjectError) << "more objects than the data holds";

    fakes::PerfObjectShape noIdle{238, {{142, 8, 8}}, {{"0", {1}}, {"1", {1}}}, false};
    m.performance.blocks.assign(1, PerfDataBuilder().Object(disk).Object(noIdle).Build());
    EXPECT_EQ(ErrorOf([&] { meter->SampleCpuUsage(); }), kCounterError);
    EXPECT_EQ(meter->ProcessorCount(), 2) << "fixed before the counter search";
}

TEST_F(NtMeter, AnyTruncationRaisesTheObjectErrorAndKeepsTheLastFigures)
{
    Take({Sample(0, {0}), Sample(1, {kSecond / 4})});
    const auto full = Sample(2, {kSecond});
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        m.performance.blocks.assign(1, std::vector<std::uint8_t>(full.begin(), full.begin() + cut));
        ASSERT_EQ(ErrorOf([&] { meter->SampleCpuUsage(); }), kObjectError) << "cut at " << cut;
        ASSERT_DOUBLE_EQ(meter->CpuUsageFraction(0), 0.75) << "cut at " << cut;
    }
}

TEST_F(NtMeter, InconsistentLengthsRaiseTheObjectError)
{
    fakes::PerfLayout at;
    const auto good = PerfDataBuilder().Processor({0, 0}).Build(&at);
    const std::size_t object = at.objects[0];
    const std::size_t firstDefinition = at.definitions[0][0];
    const std::size_t idleDefinition = at.definitions[0][1];
    const std::size_t instance = at.instances[0][1];
    const std::size_t block = at.blocks[0][1];
    const struct {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    } cases[] = {
        {"block header shorter than its fixed part", kBlockHeaderLength, 40},
        {"block header beyond the data", kBlockHeaderLength, 1u << 20},
        {"object of no length", object + kObjectTotalByteLength, 0},
        {"object beyond the data", object + kObjectTotalByteLength, 0x7FFFFFFF},
        {"object header shorter than its fixed part", object + kObjectHeaderLength, 8},
        {"definitions beyond the object", object + kObjectDefinitionLength, 0x10000},
        {"more counters than definitions", object + kObjectNumCounters, 4},
        {"more instances than the object holds", object + kObjectNumInstances, 0x7FFFFFFF},
        {"negative instance count", object + kObjectNumInstances, 0xFFFFFFF0},
        {"definition of no length", firstDefinition + kCounterByteLength, 0},
        {"definition beyond the definitions", firstDefinition + kCounterByteLength, 400},
        {"counter beyond its block", idleDefinition + kCounterOffset, 0xFFFFFFFC},
        {"instance of no length", instance + kInstanceByteLength, 0},
        {"instance beyond the object", instance + kInstanceByteLength, 0x8000},
        {"counter block too short for the counter", block + kCounterBlockByteLength, 12},
        {"counter block beyond the object", block + kCounterBlockByteLength, 0x8000},
        {"month 13", kBlockSystemTime + 2, 13},
    };
    for (const auto& c : cases) {
        SetUp();
        auto damaged = good;
        fakes::PutU32(damaged, c.offset, c.value);
        m.performance.blocks.assign(1, damaged);
        EXPECT_EQ(ErrorOf([&] { meter->SampleCpuUsage(); }), kObjectError) << c.what;
    }
}

TEST(CpuMeter9x, ReadsTheStatisticAsAPercentOfProcessorZeroOnly)
{
    fakes::FakeMachine m;
    CpuUsageMeter meter(m.ports);
    m.SetCpuPercent(37);
    EXPECT_DOUBLE_EQ(meter.CpuUsageFraction(0), 0.37) << "asking first takes a sample";
    EXPECT_EQ(m.registry.fixedCalls,
              (std::vector<std::string>{"open HKDD\\PerfStats\\StartStat all",
                                        "query HKDD\\PerfStats\\StartStat KERNEL\\CPUUsage",
                                        "close HKDD\\PerfStats\\StartStat", "open HKDD\\PerfStats\\StatData read",
                                        "query HKDD\\PerfStats\\StatData KERNEL\\CPUUsage"}));
    m.SetCpuPercent(80);
    EXPECT_DOUBLE_EQ(meter.CpuUsageFraction(0), 0.37) << "changes only when the caller samples";
    meter.SampleCpuUsage();
    EXPECT_DOUBLE_EQ(meter.CpuUsageFraction(0), 0.80);
    EXPECT_EQ(m.registry.fixedCalls.size(), 6u);
    EXPECT_EQ(ErrorOf([&] { meter.CpuUsageFraction(1); }), kIndexError);
}

TEST(CpuMeter9x, ARefusedReadKeepsTheLastValue)
{
    fakes::FakeMachine m;
    CpuUsageMeter meter(m.ports);
    m.SetCpuPercent(42);
    meter.SampleCpuUsage();
    m.SetCpuPercent(90);
    m.registry.refuseQuery.insert(fakes::Lower(std::string(fakes::kStatDataKey) + "\\KERNEL\\CPUUsage"));
    meter.SampleCpuUsage();
    EXPECT_DOUBLE_EQ(meter.CpuUsageFraction(0), 0.42);
    EXPECT_EQ(m.registry.fixedCalls.back(), "query HKDD\\PerfStats\\StatData KERNEL\\CPUUsage") << "asked all the same";
}

TEST(CpuMeter9x, AShortStatisticReplacesTheLowBytesAndAnEmptyOneKeepsTheLastValue)
{
    // The value is read straight into the last one's bytes, as many as the platform hands over:
    // a percentage's high bytes are 0, so a short value reads as if zero-padded.
    const struct {
        const char* what;
        std::vector<std::uint8_t> stored;
        double fraction;
    } cases[] = {
        {"two bytes", {0x19, 0x00}, 0.25},
        {"one byte", {0x2A}, 0.42},
        {"no bytes", {}, 0.81},
    };
    for (const auto& c : cases) {
        fakes::FakeMachine m;
        CpuUsageMeter meter(m.ports);
        m.SetCpuPercent(81);
        meter.SampleCpuUsage();
        m.registry.Put(fakes::kStatDataKey, "KERNEL\\CPUUsage", kRegBinary, c.stored);
        meter.SampleCpuUsage();
        EXPECT_DOUBLE_EQ(meter.CpuUsageFraction(0), c.fraction) << c.what;
    }
}

TEST(CpuMeter9x, FailedStartsReportAndStartOverNextTime)
{
    fakes::FakeMachine m;
    CpuUsageMeter meter(m.ports);
    m.registry.refuseOpen.insert(fakes::Lower(fakes::kStartStatKey));
    EXPECT_EQ(ErrorOf([&] { meter.SampleCpuUsage(); }), "Unable to start performance monitoring");
    m.registry.refuseOpen = {fakes::Lower(fakes::kStatDataKey)};
    EXPECT_EQ(ErrorOf([&] { meter.SampleCpuUsage(); }), "Unable to read performance data");
    EXPECT_FALSE(meter.Win9xSampling());
    EXPECT_EQ(m.registry.openHandles(), 0) << "StartStat closed";
    m.registry.refuseOpen.clear();
    m.registry.fixedCalls.clear();
    meter.SampleCpuUsage();
    EXPECT_TRUE(meter.Win9xSampling());
    EXPECT_EQ(m.registry.fixedCalls.front(), "open HKDD\\PerfStats\\StartStat all");
}

TEST(CpuMeter9x, ShutDownStopsOnlyAStartedStatistic)
{
    fakes::FakeMachine m;
    {
        CpuUsageMeter never(m.ports);
    }
    EXPECT_TRUE(m.registry.fixedCalls.empty());
    {
        CpuUsageMeter meter(m.ports);
        meter.SampleCpuUsage();
        m.registry.fixedCalls.clear();
    }
    EXPECT_EQ(m.registry.fixedCalls,
              (std::vector<std::string>{"close HKDD\\PerfStats\\StatData", "open HKDD\\PerfStats\\StopStat all",
                                        "query HKDD\\PerfStats\\StopStat KERNEL\\CPUUsage",
                                        "close HKDD\\PerfStats\\StopStat"}));
    EXPECT_EQ(m.registry.openHandles(), 0);
}

}  // namespace
}  // namespace lumora
