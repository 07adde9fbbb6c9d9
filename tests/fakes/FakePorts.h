// In-memory ports for the native tests, bundled so that one object stands for a machine.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/FakeRegistry.h"
#include "ports/Dialogs.h"
#include "ports/Module16.h"
#include "ports/Performance.h"
#include "ports/Ports.h"
#include "ports/Power.h"
#include "ports/Profile.h"
#include "ports/Shell.h"
#include "ports/System.h"
#include "ports/ToolHelp.h"

namespace lumora::fakes {

// INI files by name; section and key names are case-blind, as the profile service's are.
class FakeProfile : public ProfilePort {
public:
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def, std::size_t maxChars) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool deleteKey(const std::string& file, const std::string& section, const std::string& key) override;
    void flush(const std::string& file) override;

    void Put(const std::string& section, const std::string& key, const std::string& value);
    bool Has(const std::string& section, const std::string& key) const;
    std::string Get(const std::string& section, const std::string& key) const;

    std::map<std::string, std::map<std::string, std::string>> sections;  // lower-case names
    std::vector<std::string> log;                                        // "write s.k=v", "delete s.k"
    std::vector<std::string> files;                                      // file names used
    bool refuseWrites = false;
    int refuseWriteNumber = -1;  // 0-based among writeString calls
    int writeCalls = 0;
    // When set, every write attempt (refused or not) is appended as "ini <section>.<key>".
    std::vector<std::string>* attempts = nullptr;
    // Every call that changes or flushes a file, refused or not, in order: "write s.k",
    // "delete s.k", "flush <file>".
    std::vector<std::string> changes;
};

class FakeSystem : public SystemPort {
public:
    MemoryStatus memoryStatus() override
    {
        ++memoryCalls;
        return memory;
    }
    bool version(OsVersion& out) override
    {
        out = os;
        return versionOk;
    }
    std::uint32_t tickCount() override { return ticks.empty() ? tick : Next(); }
    std::string currentDirectory() override { return cwd; }
    bool findWindow(const std::string& className, const std::string& title) override
    {
        return windows.count(className + "|" + title) != 0;
    }

    // Machine with total MB of physical memory and 64 MB of page file.
    void SetMemoryMB(std::uint64_t totalMB, std::uint64_t freeMB = 0);

    MemoryStatus memory;
    OsVersion os{4, 10, 2222, kPlatformWindows};
    bool versionOk = true;
    std::uint32_t tick = 0;
    std::deque<std::uint32_t> ticks;
    std::string cwd = "C:\\Program Files\\Lumora";
    std::set<std::string> windows;
    int memoryCalls = 0;

private:
    std::uint32_t Next()
    {
        tick = ticks.front();
        ticks.pop_front();
        return tick;
    }
};

class FakeShell : public ShellPort {
public:
    void open(const std::string& link) override { opened.push_back(link); }
    std::vector<std::string> opened;
};

class FakePower : public PowerPort {
public:
    bool openProcessToken() override
    {
        calls.push_back("open");
        return tokenOk;
    }
    bool lookupShutdownPrivilege() override
    {
        calls.push_back("lookup");
        return lookupOk;
    }
    bool adjustShutdownPrivilege(bool enable) override
    {
        calls.push_back(enable ? "enable" : "disable");
        return true;
    }
    void closeToken() override { calls.push_back("close"); }
    bool exitWindows(std::uint32_t flags) override
    {
        calls.push_back("exit " + std::to_string(flags));
        return requestOk;
    }
    bool setSystemPowerState(bool suspend, bool force) override
    {
        calls.push_back(std::string("power ") + (suspend ? "suspend" : "hibernate") + (force ? " forced" : ""));
        return requestOk;
    }
    std::vector<std::string> calls;
    bool tokenOk = true;
    bool lookupOk = true;
    bool requestOk = true;
};

class FakeDialogs : public DialogPort {
public:
    void showError(const std::string& message) override { errors.push_back(message); }
    bool confirm(const std::string& text, const std::string& title) override
    {
        questions.push_back(title + ": " + text);
        return answerYes;
    }
    bool openFile(const std::string& filter, const std::string& initialDir, std::string& fileName) override
    {
        fileRequests.push_back(filter + "|" + initialDir + "|" + fileName);
        if (!chosenFile.empty()) fileName = chosenFile;
        return !chosenFile.empty();
    }
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::vector<std::string> fileRequests;
    bool answerYes = false;
    std::string chosenFile;  // empty: the user cancels
};

class FakePerformance : public PerformancePort {
public:
    long queryProcessorData(std::uint8_t* buffer, std::uint32_t& size) override;
    bool systemTimeToFileTime(const std::uint16_t (&systemTime)[8], std::int64_t& fileTime) override;

    // Successive NT answers; the last one repeats.
    std::deque<std::vector<std::uint8_t>> blocks;
    std::vector<std::uint32_t> querySizes;  // capacity offered at each query
    long refuseWith = kErrorSuccess;        // any other answer: every query gives it, writes nothing
};

class FakeModule16 : public Module16Port {
public:
    std::uint32_t loadLibrary16(const std::string& fileName) override
    {
        calls.push_back("load " + fileName);
        return handle;
    }
    void freeLibrary16(std::uint32_t h) override { calls.push_back("free " + std::to_string(h)); }
    std::uint32_t getProcAddress16(std::uint32_t h, const std::string& name) override
    {
        calls.push_back("proc " + std::to_string(h) + " " + name);
        return address;
    }
    std::uint16_t call16(std::uint32_t, std::uint16_t argument) override
    {
        calls.push_back("call " + std::to_string(argument));
        return argument < 3 ? results[argument] : 0;
    }
    std::uint32_t handle = 0x1234;
    std::uint32_t address = 0x00470010;
    std::uint16_t results[3] = {70, 80, 90};
    std::vector<std::string> calls;
};

class FakeToolHelp : public ToolHelpPort {
public:
    std::uintptr_t createProcessSnapshot() override { return available ? 77 : 0; }
    bool firstProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record) override;
    bool nextProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record) override;
    void closeSnapshot(std::uintptr_t snapshot) override { closed.push_back(snapshot); }
    bool available = true;
    std::vector<std::vector<std::uint8_t>> processes;
    std::vector<std::uintptr_t> closed;

private:
    std::size_t cursor_ = 0;
};

// The Windows 9x statistics keys the CPU meter starts, reads and stops the statistic through.
extern const char* const kStartStatKey;
extern const char* const kStatDataKey;
extern const char* const kStopStatKey;

// One fake machine: every port, and the Ports bundle over them. Its registry holds the 9x
// CPU statistic, at 0 %, under each of the three statistics keys.
struct FakeMachine {
    FakeMachine();
    // The CPU statistic every statistics key delivers from now on.
    void SetCpuPercent(std::uint32_t percent);
    FakeRegistry registry;
    FakeProfile profile;
    FakeSystem system;
    FakeShell shell;
    FakePower power;
    FakeDialogs dialogs;
    FakePerformance performance;
    FakeModule16 module16;
    FakeToolHelp toolHelp;
    Ports ports;
    // Every registry and INI write attempt of both fakes, in the order they were made.
    std::vector<std::string> attempts;
};

}  // namespace lumora::fakes
