// Registry port: the few raw registry calls the registry adapter and the 9x CPU meter are built on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

enum class RegRoot { CurrentUser, LocalMachine, DynData };

// Opaque key handle; 0 is "no key". Root keys have handles of their own.
using RegKey = std::uintptr_t;

// Registry value types as the platform numbers them.
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

enum class RegQuery { Ok, Missing, Failed };

// The rights openKeyWith asks for.
enum class RegAccess { All, Read };

class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    virtual RegKey rootKey(RegRoot root) = 0;
    // Opens (or, with create, creates) path below parent; 0 on failure.
    virtual RegKey openKey(RegKey parent, const std::string& path, bool create) = 0;
    // Opens path below parent with exactly this access: nothing is created, and a refusal is
    // final where openKey settles for less. 0 on failure.
    virtual RegKey openKeyWith(RegKey parent, const std::string& path, RegAccess access) = 0;
    // Root handles may be passed too; closing them does nothing.
    virtual void closeKey(RegKey key) = 0;
    // Reads the whole value. Missing: no such value. Failed: the platform refused.
    virtual RegQuery queryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                std::vector<std::uint8_t>& data) = 0;
    // Reads a value of up to 4 bytes straight into value. The platform's answer is not
    // reported; a refused read leaves value as it was.
    virtual void queryFourBytes(RegKey key, const std::string& name, std::uint8_t (&value)[4]) = 0;
    virtual bool setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::size_t size) = 0;
    virtual bool deleteValue(RegKey key, const std::string& name) = 0;
};

}  // namespace lumora
