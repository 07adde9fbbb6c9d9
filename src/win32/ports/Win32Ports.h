// The real ports over the Win32 API but one: the dialog port, which knows the main window and the
// boxes' title, is in Win32Dialogs.h.
//
// Each class is default-constructible and holds no more than a lazily looked-up function or a
// handle it owns. The header stays free of windows.h so that the toolkit and the tests can
// include it next to anything.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ports/Module16.h"
#include "ports/Performance.h"
#include "ports/Power.h"
#include "ports/Profile.h"
#include "ports/Registry.h"
#include "ports/Shell.h"
#include "ports/System.h"
#include "ports/ToolHelp.h"

namespace lumora {

class Win32Registry : public RegistryPort {
public:
    RegKey rootKey(RegRoot root) override;
    // Asks for all access and settles for read access when that is refused, so that a key the
    // user may only read still reads; its writes then fail as the platform's refusal.
    RegKey openKey(RegKey parent, const std::string& path, bool create) override;
    RegKey openKeyWith(RegKey parent, const std::string& path, RegAccess access) override;
    void closeKey(RegKey key) override;
    RegQuery queryValue(RegKey key, const std::string& name, std::uint32_t& type,
                        std::vector<std::uint8_t>& data) override;
    void queryFourBytes(RegKey key, const std::string& name, std::uint8_t (&value)[4]) override;
    bool setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::size_t size) override;
    bool deleteValue(RegKey key, const std::string& name) override;
};

class Win32Profile : public ProfilePort {
public:
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def, std::size_t maxChars) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool deleteKey(const std::string& file, const std::string& section, const std::string& key) override;
    void flush(const std::string& file) override;
};

class Win32System : public SystemPort {
public:
    MemoryStatus memoryStatus() override;
    bool version(OsVersion& out) override;
    std::uint32_t tickCount() override;
    std::string currentDirectory() override;
    bool findWindow(const std::string& className, const std::string& title) override;
};

class Win32Shell : public ShellPort {
public:
    // The main window, once it exists; links opened before that have no owner.
    void setOwner(void* hwnd) { owner_ = hwnd; }
    void open(const std::string& link) override;

private:
    void* owner_ = nullptr;
};

// The token functions and SetSystemPowerState are looked up at run time: Windows 95 lacks some
// of them, and an import the loader cannot resolve stops the whole program from starting.
class Win32Power : public PowerPort {
public:
    Win32Power() = default;
    ~Win32Power() override;
    Win32Power(const Win32Power&) = delete;
    Win32Power& operator=(const Win32Power&) = delete;

    bool openProcessToken() override;
    bool lookupShutdownPrivilege() override;
    bool adjustShutdownPrivilege(bool enable) override;
    void closeToken() override;
    bool exitWindows(std::uint32_t flags) override;
    bool setSystemPowerState(bool suspend, bool force) override;

private:
    void* token_ = nullptr;
    std::uint32_t luidLow_ = 0;
    std::int32_t luidHigh_ = 0;
    bool haveLuid_ = false;
};

class Win32Performance : public PerformancePort {
public:
    long queryProcessorData(std::uint8_t* buffer, std::uint32_t& size) override;
    bool systemTimeToFileTime(const std::uint16_t (&systemTime)[8], std::int64_t& fileTime) override;
};

// Windows 9x only. On the NT family and in the 64-bit build every service reports itself
// unavailable: ordinals 35 to 37 of an NT kernel32 are unrelated functions.
class Win32Module16 : public Module16Port {
public:
    std::uint32_t loadLibrary16(const std::string& fileName) override;
    void freeLibrary16(std::uint32_t handle) override;
    std::uint32_t getProcAddress16(std::uint32_t handle, const std::string& name) override;
    std::uint16_t call16(std::uint32_t address, std::uint16_t argument) override;

private:
    bool Resolve();
    bool resolved_ = false;
    void* load_ = nullptr;
    void* free_ = nullptr;
    void* getProc_ = nullptr;
    void* thunk_ = nullptr;
};

class Win32ToolHelp : public ToolHelpPort {
public:
    std::uintptr_t createProcessSnapshot() override;
    bool firstProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record) override;
    bool nextProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record) override;
    void closeSnapshot(std::uintptr_t snapshot) override;

private:
    bool Available();
    bool Walk(void* function, std::uintptr_t snapshot, std::vector<std::uint8_t>& record);
    bool looked_ = false;
    void* create_ = nullptr;
    void* first_ = nullptr;
    void* next_ = nullptr;
};

namespace win32 {

// The address an image loaded at module exports under ordinal, read from its export table;
// nullptr for an ordinal out of range, an empty slot or a forwarder. Windows 95 refuses
// GetProcAddress by ordinal for KERNEL32, so the 16-bit services are found this way there.
void* ExportByOrdinal(void* module, unsigned ordinal);

}  // namespace win32

}  // namespace lumora
