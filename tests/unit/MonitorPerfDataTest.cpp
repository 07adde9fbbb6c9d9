// The performance data reader: walking objects, counter definitions and instances.
#include <gtest/gtest.h>

#include <vector>

#include "fakes/PerfDataBuilder.h"
#include "monitor/PerfData.h"

namespace lumora {
namespace {

using fakes::PerfObjectShape;

// Three objects: one without instances, a two-instance one with counters at three offsets,
// and a "Processor" object last.
std::vector<std::uint8_t> ThreeObjects()
{
    PerfObjectShape memory{4, {{24, 8, 8}, {26, 16, 4}}, {{"", {111, 222}}}, true};
    PerfObjectShape disk{236, {{40, 40, 8}, {6, 8, 8}, {42, 24, 8}}, {{"C:", {1, 2, 3}}, {"D:", {4, 5, 6}}}, false};
    return fakes::PerfDataBuilder().Object(memory).Object(disk).Processor({70, 80, 90}, 32).Build();
}

TEST(PerfData, FindsObjectsCountersAndInstanceValuesWhereverTheyLie)
{
    const auto bytes = ThreeObjects();
    const PerfDataReader reader(bytes.data(), bytes.size());
    const struct {
        std::uint32_t object, counter, offset;
        std::vector<std::int64_t> values;
    } cases[] = {
        {236, 40, 40, {1, 4}},
        {236, 6, 8, {2, 5}},
        {236, 42, 24, {3, 6}},
        {238, 6, 32, {70, 80, 90}},
    };
    for (const auto& c : cases) {
        PerfObject object;
        ASSERT_EQ(reader.FindObject(c.object, object), PerfResult::Found) << c.object;
        std::uint32_t offset = 0;
        ASSERT_EQ(reader.FindCounter(object, c.counter, offset), PerfResult::Found) << c.object << "/" << c.counter;
        EXPECT_EQ(offset, c.offset) << c.object << "/" << c.counter;
        std::vector<std::int64_t> values(c.values.size(), -7);
        ASSERT_TRUE(reader.ReadInstanceCounters(object, offset, values.size(), values.data()));
        EXPECT_EQ(values, c.values) << c.object << "/" << c.counter;
    }
}

TEST(PerfData, ObjectWithoutInstancesIsFoundAndYieldsNoInstanceValues)
{
    const auto bytes = ThreeObjects();
    const PerfDataReader reader(bytes.data(), bytes.size());
    PerfObject object;
    ASSERT_EQ(reader.FindObject(4, object), PerfResult::Found);
    EXPECT_EQ(object.numInstances, -1);
    std::int64_t value = -7;
    EXPECT_FALSE(reader.ReadInstanceCounters(object, 8, 1, &value));
    EXPECT_EQ(value, -7) << "left as it was";
}

TEST(PerfData, AbsentTitlesAreNotFoundRatherThanMalformed)
{
    const auto bytes = ThreeObjects();
    const PerfDataReader reader(bytes.data(), bytes.size());
    PerfObject object;
    EXPECT_EQ(reader.FindObject(999, object), PerfResult::NotFound);
    ASSERT_EQ(reader.FindObject(238, object), PerfResult::Found);
    std::uint32_t offset = 0;
    EXPECT_EQ(reader.FindCounter(object, 999, offset), PerfResult::NotFound);
}

TEST(PerfData, ReadsNoMoreInstancesThanTheObjectDelivers)
{
    const auto bytes = fakes::PerfDataBuilder().Processor({5, 6}).Build();
    const PerfDataReader reader(bytes.data(), bytes.size());
    PerfObject object;
    ASSERT_EQ(reader.FindObject(238, object), PerfResult::Found);
    std::int64_t values[3] = {-7, -7, -7};
    EXPECT_FALSE(reader.ReadInstanceCounters(object, 8, 3, values));
    EXPECT_EQ(values[0], -7);
    EXPECT_TRUE(reader.ReadInstanceCounters(object, 8, 1, values));
    EXPECT_EQ(values[0], 5);
}

TEST(PerfData, BlockShorterThanItsHeaderHasNoTimeAndNoObjects)
{
    const auto bytes = fakes::PerfDataBuilder().Processor({5}).Build();
    const PerfDataReader reader(bytes.data(), 87);
    std::uint16_t time[8];
    EXPECT_FALSE(reader.SystemTime(time));
    PerfObject object;
    EXPECT_EQ(reader.FindObject(238, object), PerfResult::Malformed);
}

}  // namespace
}  // namespace lumora
