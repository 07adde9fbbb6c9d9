// Wine's relay trace of the program, read as events: the ticks of its main window's timer, and
// in each the calls the Windows 98 tests look at (the CPU statistic's keys, the 16-bit resource
// calls through QT_Thunk, the NT performance data, SYSTEM.INI's writes, names put into storage
// the system shares, the windows created). Portable: the trace is text, and its handles and
// addresses are numbers, so it is tested natively over a captured trace.
//
// Its lines are Wine's "+relay" channel, "TID:Call module.Function(args) ret=ADDRESS" and
// "TID:Ret  module.Function() retval=VALUE ret=ADDRESS", "TID:Call window proc ..." and the
// 16-bit thunk's "CallTo16(...)" and "RetFrom16()"; the calls it reads are those in the
// RelayInclude list the Windows 98 tests set.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace lumora::relaytrace {

// Where the program's image lies: a traced call whose return address is in it is the program's
// own.
struct Image {
    std::uint64_t base = 0;
    std::uint64_t size = 0;
    bool Holds(std::uint64_t address) const { return address >= base && address - base < size; }
};

struct Call16 {
    std::uint64_t target = 0;        // the 16:16 address QT_Thunk's call to 16-bit code went to
    std::uint64_t argument = ~0ull;  // the word on top of the 16-bit stack
    std::uint64_t userArgument = ~0ull;
    std::uint64_t userResult = ~0ull;
    std::uint64_t ax = ~0ull;  // AX as the 16-bit code returned it to QT_Thunk
};

// One use of the 16-bit services by the program: load, release, look up, call.
struct Round {
    std::uint64_t loaded = 0;
    std::vector<std::uint64_t> freed;
    std::uint64_t askedOf = 0;
    std::uint64_t address = 0;
    std::vector<Call16> calls;
};

struct Tick {
    std::vector<std::uint64_t> startStatResults;
    std::vector<Round> rounds;
};

// One opening of the 9x statistic's StopStat key: its result, and whether the CPU figure was
// read through it before any other key was opened.
struct StopStatOpen {
    std::uint64_t result = ~0ull;
    bool read = false;
};

struct Trace {
    std::vector<Tick> ticks;
    Tick beforeTicks;
    int perfDataQueries = 0;
    int krnl386Calls = 0;
    // The program's profile writes to SYSTEM.INI, in order: "write SECTION.KEY",
    // "delete SECTION.KEY" or "flush".
    std::vector<std::string> systemIniCalls;
    std::vector<StopStatOpen> stopStatOpens;
    // Global atoms added and window properties set by the program's own code, or by anyone for a
    // control's name: the trace lines.
    std::vector<std::string> namingCalls;
    int windowsCreated = 0;  // by the program's own code
};

// Every StartStat opening, before the ticks and in them.
std::vector<std::uint64_t> StartStatResults(const Trace& trace);

// The ticks the trace shows whole: the last one may still be running when it is read.
std::size_t CompleteTicks(const Trace& trace);

// Reads the trace of the program's window and image. The registry handles print as 32-bit
// values in the i686 build and sign-extended in the x86_64 one; both end in the same digits.
// window is the main window's handle as the trace prints it.
Trace ParseRelayTrace(const std::string& text, std::uint64_t window, const Image& image);

}  // namespace lumora::relaytrace
