// The system, power, performance, tool help and 16-bit ports against Wine.
#include <windows.h>
#include <tlhelp32.h>
#include <winperf.h>

#include <algorithm>
#include <cstring>

#include "WineRegistry.h"
#include "WineTest.h"
#include "win32/ports/Win32Ports.h"

namespace lumora::winetest {
namespace {

// The machine's figures, as a program that can see them all reads them.
MEMORYSTATUSEX WholeMemoryStatus()
{
    MEMORYSTATUSEX status;
    ZeroMemory(&status, sizeof status);
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return status;
}

// What Windows documents for GlobalMemoryStatus in a 32-bit program without the large-address
// flag (the i686 build, like every Windows 9x program): physical memory, in all and free, at most
// 2 GB; 32-bit figures for the rest.
constexpr std::uint64_t k2GB = 0x80000000;
// What Wine gives exactly: physical memory at most 2 GB - 1, the page-file total at most
// 0xfff7ffff and its free part at most 0xffffffff.
constexpr std::uint64_t kPhysicalCap32 = 0x7fffffff;
constexpr std::uint64_t kPageFileTotalCap32 = 0xfff7ffff;
constexpr std::uint64_t kPageFileFreeCap32 = 0xffffffff;
constexpr bool k32BitBuild = sizeof(void*) == 4;

TEST(PortsWine, WineMarksKnowTheWineTheyRunUnder)
{
    // Every layer runs under Wine: marks that could not tell would fail Wine's own answers here,
    // and on Windows would let them pass.
    EXPECT_TRUE(OnWine());
    EXPECT_NE(WineVersion().find('.'), std::string::npos) << WineVersion();
}

TEST(PortsWine, MemoryStatusReportsConsistentFigures)
{
    Win32System system;
    const MemoryStatus status = system.memoryStatus();
    EXPECT_GT(status.totalPhys, std::uint64_t{0});
    EXPECT_LE(status.availPhys, status.totalPhys);
    // Wine's two page-file caps differ, so beyond 4 GB of free page file its 32-bit figures say
    // more is free than there is in all.
    EXPECT_TRUE(status.availPageFile <= status.totalPageFile ||
                WINE_ONLY(k32BitBuild && status.totalPageFile == kPageFileTotalCap32 &&
                          status.availPageFile == kPageFileFreeCap32))
        << "page file " << status.availPageFile << " free of " << status.totalPageFile;
    EXPECT_GT(status.totalVirtual, std::uint64_t{0});
    EXPECT_LE(status.memoryLoad, 100u);
}

TEST(PortsWine, MemoryStatusOfThe32BitBuildIsCappedAt2GB)
{
    Win32System system;
    const MemoryStatus status = system.memoryStatus();
    const MEMORYSTATUSEX whole = WholeMemoryStatus();
    if (!k32BitBuild) {
        EXPECT_EQ(status.totalPhys, std::uint64_t{whole.ullTotalPhys});
        EXPECT_EQ(status.totalPageFile, std::uint64_t{whole.ullTotalPageFile});
        return;
    }
    SCOPED_TRACE("i686, machine: " + Show(whole.ullTotalPhys >> 20) + " MB physical, " +
                 Show(whole.ullTotalPageFile >> 20) + " MB page file");
    EXPECT_LE(status.totalPhys, k2GB);
    EXPECT_LE(status.availPhys, k2GB);
    EXPECT_LE(status.totalPageFile, std::uint64_t{0xffffffff});
    WINE_EXPECT_EQ(std::min<std::uint64_t>(whole.ullTotalPhys, kPhysicalCap32), status.totalPhys);
    WINE_EXPECT_EQ(std::min<std::uint64_t>(whole.ullTotalPageFile, kPageFileTotalCap32), status.totalPageFile);
    // Free memory moves between the two calls; only a figure beyond its cap is steady.
    if (whole.ullAvailPhys > kPhysicalCap32 + (std::uint64_t{256} << 20)) {
        WINE_EXPECT_EQ(kPhysicalCap32, status.availPhys);
    }
}

TEST(PortsWine, RecordsHaveTheSizesOfTheirFlavour)
{
    // Windows 9x knows only the 32-bit sizes; the 64-bit build's are wider, and the ports take
    // sizeof, never a number.
    struct Row {
        const char* what;
        std::size_t size;
        std::size_t i686;
        std::size_t x86_64;
    };
    const Row rows[] = {
        {"MEMORYSTATUS", sizeof(MEMORYSTATUS), 32, 56},
        {"PROCESSENTRY32", sizeof(PROCESSENTRY32), 296, 304},
        {"OSVERSIONINFOA", sizeof(OSVERSIONINFOA), 148, 148},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.size, k32BitBuild ? row.i686 : row.x86_64);
    }
    MEMORYSTATUS status;
    std::memset(&status, 0xbd, sizeof status);
    GlobalMemoryStatus(&status);
    EXPECT_EQ(status.dwLength, static_cast<DWORD>(sizeof status));
}

TEST(PortsWine, VersionReportsTheNtPlatformUnderWine)
{
    Win32System system;
    OsVersion version;
    version.platformId = 0xdeadbeef;
    ASSERT_TRUE(system.version(version));
    EXPECT_EQ(version.platformId, static_cast<std::uint32_t>(kPlatformNt));
    EXPECT_GT(version.major, 3u);
}

TEST(PortsWine, CurrentDirectoryFollowsTheProcessFolder)
{
    Win32System system;
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    const std::string folder = WindowsDirectory() + "\\temp\\Lumora Folder With A Long Name";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    const std::string got = system.currentDirectory();
    SetCurrentDirectoryA(saved);
    RemoveDirectoryA(folder.c_str());
    EXPECT_EQ(got, folder);
}

TEST(PortsWine, FindWindowNeedsBothClassAndTitle)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LumoraPortProbe";
    RegisterClassA(&wc);
    const HWND window = CreateWindowA("LumoraPortProbe", "Probe Title", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                      wc.hInstance, nullptr);
    if (window == nullptr) GTEST_SKIP() << ("no window could be created (no display?)");
    Win32System system;
    EXPECT_TRUE(system.findWindow("LumoraPortProbe", "Probe Title"));
    EXPECT_FALSE(system.findWindow("LumoraPortProbe", "Other Title"));
    EXPECT_FALSE(system.findWindow("TForm2", "Probe Title"));
    DestroyWindow(window);
    EXPECT_FALSE(system.findWindow("LumoraPortProbe", "Probe Title"));
}

// Whether SeShutdownPrivilege is enabled in the process token, read independently of the port.
int ShutdownPrivilegeEnabled()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
    LUID luid;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid);
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    int result = -1;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID& l = privileges->Privileges[i].Luid;
            if (l.LowPart == luid.LowPart && l.HighPart == luid.HighPart) {
                result = (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0 ? 1 : 0;
            }
        }
    }
    CloseHandle(token);
    return result;
}

TEST(PortsWine, ShutdownPrivilegeIsSwitchedOnAndOff)
{
    Win32Power power;
    EXPECT_FALSE(power.adjustShutdownPrivilege(true));  // no token yet
    ASSERT_TRUE(power.openProcessToken());
    ASSERT_TRUE(power.lookupShutdownPrivilege());
    if (ShutdownPrivilegeEnabled() < 0) GTEST_SKIP() << "Wine's token does not list SeShutdownPrivilege";
    EXPECT_TRUE(power.adjustShutdownPrivilege(true));
    EXPECT_EQ(ShutdownPrivilegeEnabled(), 1);
    EXPECT_TRUE(power.adjustShutdownPrivilege(false));
    EXPECT_EQ(ShutdownPrivilegeEnabled(), 0);
    power.closeToken();
    EXPECT_FALSE(power.adjustShutdownPrivilege(true));
    power.closeToken();
}

TEST(PortsWine, ProcessorDataAsksForMoreRoomAndThenDeliversADataBlock)
{
    Win32Performance performance;
    std::vector<std::uint8_t> buffer(8, 0xbd);
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    EXPECT_EQ(performance.queryProcessorData(buffer.data(), size), long{kErrorMoreData});
    buffer.assign(1 << 16, 0xbd);
    size = static_cast<std::uint32_t>(buffer.size());
    ASSERT_EQ(performance.queryProcessorData(buffer.data(), size), long{kErrorSuccess});
    ASSERT_TRUE(size >= sizeof(PERF_DATA_BLOCK));
    // The signature is "PERF" in UTF-16.
    EXPECT_EQ(Hex(buffer.data(), 8), std::string("5000450052004600"));
    const auto* block = reinterpret_cast<const PERF_DATA_BLOCK*>(buffer.data());
    EXPECT_LE(block->TotalByteLength, size);
}

TEST(PortsWine, SystemTimeConvertsToFileTime)
{
    struct Row {
        const char* what;
        std::uint16_t time[8];
        bool ok;
        std::int64_t fileTime;
    };
    const Row rows[] = {
        {"epoch", {1601, 1, 1, 1, 0, 0, 0, 0}, true, 0},
        {"2000-01-01", {2000, 1, 6, 1, 0, 0, 0, 0}, true, 125911584000000000LL},
        {"one millisecond", {1601, 1, 1, 1, 0, 0, 0, 1}, true, 10000},
        {"month 13", {2000, 13, 0, 1, 0, 0, 0, 0}, false, -1},
    };
    Win32Performance performance;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::int64_t fileTime = -1;
        EXPECT_EQ(performance.systemTimeToFileTime(row.time, fileTime), row.ok);
        EXPECT_EQ(fileTime, row.fileTime);
    }
}

TEST(PortsWine, ProcessSnapshotListsThisProcess)
{
    Win32ToolHelp toolHelp;
    const std::uintptr_t snapshot = toolHelp.createProcessSnapshot();
    ASSERT_NE(snapshot, std::uintptr_t{0});
    std::vector<std::uint8_t> record(3, 0xbd);
    bool ok = toolHelp.firstProcess(snapshot, record);
    int count = 0;
    bool foundSelf = false;
    while (ok) {
        ++count;
        ASSERT_EQ(record.size(), sizeof(PROCESSENTRY32));
        PROCESSENTRY32 entry;
        std::memcpy(&entry, record.data(), sizeof entry);
        EXPECT_EQ(entry.dwSize, static_cast<DWORD>(sizeof(PROCESSENTRY32)));
        if (entry.th32ProcessID == GetCurrentProcessId()) {
            foundSelf = true;
            EXPECT_EQ(std::string(entry.szExeFile), std::string("adapter_tests.exe"));
        }
        ok = toolHelp.nextProcess(snapshot, record);
    }
    toolHelp.closeSnapshot(snapshot);
    EXPECT_GT(count, 0);
    EXPECT_TRUE(foundSelf);
    EXPECT_FALSE(toolHelp.firstProcess(0, record));
}

// On the NT platform the i686 build does not look for them either.
TEST(PortsWine, SixteenBitServicesAreUnavailableIn64BitCode)
{
    Win32Module16 module16;
    EXPECT_EQ(module16.loadLibrary16("user.exe"), 0u);
    EXPECT_EQ(module16.getProcAddress16(0x1234, "GetFreeSystemResources"), 0u);
    EXPECT_EQ(module16.call16(0x12340000u, 1), std::uint16_t{0});
    module16.freeLibrary16(0x1234);
}

#if defined(__i386__)
// Calls lumora_qt_call16 with marks in EBX, ESI, EDI and EBP and stores in out[0..4] those four
// registers as the call left them and how far ESP moved.
extern "C" std::uint32_t __cdecl lumora_qt_call16(void* qtThunk, std::uint32_t target, std::uint32_t argument);
extern "C" __attribute__((naked, noinline, used)) void __cdecl lumora_test_call16_registers(void* /*qtThunk*/,
                                                                                            std::uint32_t /*target*/,
                                                                                            std::uint32_t /*argument*/,
                                                                                            std::uint32_t* /*out*/)
{
    asm("pushl %ebx\n\t"
        "pushl %esi\n\t"
        "pushl %edi\n\t"
        "pushl %ebp\n\t"
        "movl $0x11111111, %ebx\n\t"
        "movl $0x22222222, %esi\n\t"
        "movl $0x33333333, %edi\n\t"
        "movl $0x44444444, %ebp\n\t"
        "movl %esp, %ecx\n\t"
        "pushl %ecx\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "call _lumora_qt_call16\n\t"
        "addl $12, %esp\n\t"
        "popl %ecx\n\t"
        "movl %esp, %edx\n\t"
        "subl %ecx, %edx\n\t"
        "movl 32(%esp), %eax\n\t"
        "movl %ebx, 0(%eax)\n\t"
        "movl %esi, 4(%eax)\n\t"
        "movl %edi, 8(%eax)\n\t"
        "movl %ebp, 12(%eax)\n\t"
        "movl %edx, 16(%eax)\n\t"
        "popl %ebp\n\t"
        "popl %edi\n\t"
        "popl %esi\n\t"
        "popl %ebx\n\t"
        "ret");
}
#endif

bool ReportsWindows98()
{
    Win32System system;
    OsVersion version;
    return system.version(version) && version.platformId != kPlatformNt;
}

// Wine 8.0 loses the 16-bit function's answer on the way back: its QT_Thunk puts AX into its
// register frame and leaves through NtSetContextThread on its own thread, which restores the
// stack and the callee-saved registers but leaves EAX holding that call's status, 0. Windows 98,
// and Wine 10.0, return AX.
TEST(PortsWine, Win98SixteenBitServicesReachUserThroughQtThunk)
{
    // The NT layers leave it out by name.
    ASSERT_TRUE(ReportsWindows98()) << "the prefix reports the NT family: make it with prefix.sh --win98";
    Win32Module16 module16;
    if (sizeof(void*) == 8) {
        EXPECT_EQ(module16.loadLibrary16("user.exe"), 0u);
        EXPECT_EQ(module16.call16(0x12340000u, 1), std::uint16_t{0});
        return;
    }
#if defined(__i386__)
    const std::uint32_t user = module16.loadLibrary16("user.exe");
    ASSERT_TRUE(user >= 32);
    module16.freeLibrary16(user);
    const std::uint32_t address = module16.getProcAddress16(user, "GetFreeSystemResources");
    ASSERT_NE(address, 0u);
    EXPECT_EQ(module16.getProcAddress16(user, "NoSuchFunction"), 0u);
    std::uint16_t answers[3] = {};
    for (std::uint16_t argument = 0; argument < 3; ++argument) answers[argument] = module16.call16(address, argument);
    if (WineUpTo(8)) {
        SCOPED_TRACE("Wine " + WineVersion() + " drops QT_Thunk's result");
        for (const std::uint16_t answer : answers) EXPECT_EQ(answer, std::uint16_t{0});
    } else {
        // Percentages free, of a system that has some; the System figure is the lower of the
        // GDI and User ones, as Windows has always counted it.
        for (std::uint16_t argument = 0; argument < 3; ++argument) {
            SCOPED_TRACE("GetFreeSystemResources(" + Show(argument) + ")");
            EXPECT_TRUE(answers[argument] > 0 && answers[argument] <= 100) << answers[argument];
        }
        EXPECT_EQ(answers[0], std::min(answers[1], answers[2]));
    }

    void* const thunk = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QT_Thunk"));
    ASSERT_TRUE(thunk != nullptr);
    for (std::uint32_t argument = 0; argument < 3; ++argument) {
        SCOPED_TRACE("registers around call " + Show(argument));
        std::uint32_t out[5] = {0xdeadbeef, 0xdeadbeef, 0xdeadbeef, 0xdeadbeef, 0xdeadbeef};
        lumora_test_call16_registers(thunk, address, argument, out);
        EXPECT_EQ(out[0], 0x11111111u);
        EXPECT_EQ(out[1], 0x22222222u);
        EXPECT_EQ(out[2], 0x33333333u);
        EXPECT_EQ(out[3], 0x44444444u);
        EXPECT_EQ(out[4], 0u);
    }
#endif
}

TEST(PortsWine, ExportTableLookupAgreesWithGetProcAddress)
{
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_TRUE(kernel != nullptr);
    int agreed = 0;
    for (unsigned ordinal = 1; ordinal < 400; ++ordinal) {
        void* ours = win32::ExportByOrdinal(kernel, ordinal);
        if (ours == nullptr) continue;  // forwarders and holes are left to GetProcAddress
        SCOPED_TRACE("ordinal " + std::to_string(ordinal));
        EXPECT_TRUE(ours == reinterpret_cast<void*>(GetProcAddress(kernel, MAKEINTRESOURCEA(ordinal))));
        ++agreed;
    }
    EXPECT_GT(agreed, 10);
    EXPECT_TRUE(win32::ExportByOrdinal(kernel, 0) == nullptr);
    EXPECT_TRUE(win32::ExportByOrdinal(kernel, 65535) == nullptr);
    EXPECT_TRUE(win32::ExportByOrdinal(nullptr, 35) == nullptr);
}

}  // namespace
}  // namespace lumora::winetest
