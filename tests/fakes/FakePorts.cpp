// In-memory ports for the native tests.
#include "fakes/FakePorts.h"

#include <algorithm>
#include <cstring>

namespace lumora::fakes {

std::string FakeProfile::readString(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& def, std::size_t maxChars)
{
    files.push_back(file);
    const std::string value = Has(section, key) ? Get(section, key) : def;
    return value.substr(0, maxChars);
}

bool FakeProfile::writeString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& value)
{
    files.push_back(file);
    const int number = writeCalls++;
    changes.push_back("write " + section + "." + key);
    if (attempts) attempts->push_back("ini " + section + "." + key);
    if (refuseWrites || number == refuseWriteNumber) return false;
    sections[Lower(section)][Lower(key)] = value;
    log.push_back("write " + section + "." + key + "=" + value);
    return true;
}

bool FakeProfile::deleteKey(const std::string& file, const std::string& section, const std::string& key)
{
    files.push_back(file);
    changes.push_back("delete " + section + "." + key);
    auto it = sections.find(Lower(section));
    if (it == sections.end()) return true;
    it->second.erase(Lower(key));
    log.push_back("delete " + section + "." + key);
    return true;
}

void FakeProfile::flush(const std::string& file)
{
    files.push_back(file);
    changes.push_back("flush " + file);
}

void FakeProfile::Put(const std::string& section, const std::string& key, const std::string& value)
{
    sections[Lower(section)][Lower(key)] = value;
}

bool FakeProfile::Has(const std::string& section, const std::string& key) const
{
    const auto it = sections.find(Lower(section));
    return it != sections.end() && it->second.count(Lower(key)) != 0;
}

std::string FakeProfile::Get(const std::string& section, const std::string& key) const
{
    if (!Has(section, key)) return "<missing>";
    return sections.at(Lower(section)).at(Lower(key));
}

void FakeSystem::SetMemoryMB(std::uint64_t totalMB, std::uint64_t freeMB)
{
    memory.totalPhys = totalMB << 20;
    memory.availPhys = freeMB << 20;
    memory.totalPageFile = 64ull << 20;
    memory.availPageFile = 32ull << 20;
}

long FakePerformance::queryProcessorData(std::uint8_t* buffer, std::uint32_t& size)
{
    querySizes.push_back(size);
    if (refuseWith != kErrorSuccess) return refuseWith;
    if (blocks.empty()) {
        size = 0;
        return kErrorSuccess;
    }
    const auto& block = blocks.front();
    if (block.size() > size) {
        return kErrorMoreData;
    }
    std::memcpy(buffer, block.data(), block.size());
    size = static_cast<std::uint32_t>(block.size());
    if (blocks.size() > 1) blocks.pop_front();
    return kErrorSuccess;
}

bool FakePerformance::systemTimeToFileTime(const std::uint16_t (&st)[8], std::int64_t& fileTime)
{
    // The platform's calendar: 100-ns units since 1601-01-01, invalid fields refused.
    const std::int64_t year = st[0], month = st[1], day = st[3];
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int monthDays[12] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > monthDays[month - 1] || st[4] > 23 ||
        st[5] > 59 || st[6] > 59 || st[7] > 999) {
        return false;
    }
    const std::int64_t y = year - 1601;
    std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (std::int64_t m = 1; m < month; ++m) days += monthDays[m - 1];
    days += day - 1;
    const std::int64_t ms = ((days * 24 + st[4]) * 60 + st[5]) * 60000 + std::int64_t{st[6]} * 1000 + st[7];
    fileTime = ms * 10000;
    return true;
}

bool FakeToolHelp::firstProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record)
{
    cursor_ = 0;
    return nextProcess(snapshot, record);
}

bool FakeToolHelp::nextProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record)
{
    if (snapshot == 0 || cursor_ >= processes.size()) return false;
    record = processes[cursor_++];
    return true;
}

const char* const kStartStatKey = "HKDD\\PerfStats\\StartStat";
const char* const kStatDataKey = "HKDD\\PerfStats\\StatData";
const char* const kStopStatKey = "HKDD\\PerfStats\\StopStat";

FakeMachine::FakeMachine() : ports{registry, profile, system, shell, power, dialogs, performance, module16, toolHelp}
{
    system.SetMemoryMB(64, 23);
    SetCpuPercent(0);
    registry.attempts = &attempts;
    profile.attempts = &attempts;
}

void FakeMachine::SetCpuPercent(std::uint32_t percent)
{
    // Windows 98 keeps its statistics as 4-byte binary values.
    for (const char* key : {kStartStatKey, kStatDataKey, kStopStatKey}) {
        registry.Put(key, "KERNEL\\CPUUsage", kRegBinary, Le32(percent));
    }
}

}  // namespace lumora::fakes
