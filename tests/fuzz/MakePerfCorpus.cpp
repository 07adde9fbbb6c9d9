// Writes the starting corpus of the fuzz target: well-formed performance data blocks of several shapes.
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/PerfDataBuilder.h"

using lumora::fakes::PerfDataBuilder;
using lumora::fakes::PerfObjectShape;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_perf_corpus <directory>\n");
        return 2;
    }
    const PerfObjectShape memory{4, {{24, 8, 8}, {26, 16, 4}}, {{"", {111, 222}}}, true};
    const PerfObjectShape disk{
        236, {{40, 40, 8}, {6, 8, 8}, {42, 24, 8}}, {{"C:", {1, 2, 3}}, {"D:", {4, 5, 6}}}, false};
    const PerfObjectShape noIdle{238, {{142, 8, 8}}, {{"0", {1}}}, false};
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } inputs[] = {
        {"no-objects", PerfDataBuilder().Build()},
        {"one-processor", PerfDataBuilder().Processor({1234567}).Build()},
        {"three-processors", PerfDataBuilder().Processor({100, 200, 150}).Build()},
        {"eight-processors", PerfDataBuilder().Processor({1, 2, 3, 4, 5, 6, 7, 8}, 24).Build()},
        {"processor-after-others", PerfDataBuilder().Object(memory).Object(disk).Processor({9, 10}, 16).Build()},
        {"processor-without-idle-counter", PerfDataBuilder().Object(noIdle).Build()},
        {"long-system-name", PerfDataBuilder().SystemName("A-RATHER-LONG-MACHINE-NAME").Processor({42}).Build()},
    };
    for (const auto& input : inputs) {
        const std::string path = std::string(argv[1]) + "/" + input.name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(input.bytes.data(), 1, input.bytes.size(), file) != input.bytes.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
