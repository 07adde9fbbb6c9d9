// The registry adapter: typed reads and writes over the registry port, with the system's errors.
//
// Created for one sequence of reads or writes and released at its end; the key it opened is
// closed by the destructor, also when an error leaves the sequence.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "ports/Registry.h"

namespace lumora {

// "Failed to get data": the platform refused a read of a value that exists. Unlike a value of
// the wrong type or size, it says nothing about what is stored.
class ReadFailure : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    explicit TRegistry(RegistryPort& port);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    void SetRootKey(RegRoot root);
    // Opens path relative to the open key (or the root when none is open). When the open fails,
    // the key that was open stays open and the result is false.
    bool OpenKey(const std::string& path, bool canCreate);
    // Opens an existing key with the rights to change it, or fails as OpenKey does: a key that
    // may only be read (a limited account and a key of the machine) counts as not there.
    bool OpenKeyToChange(const std::string& path);
    void CloseKey();
    bool HasOpenKey() const { return key_ != 0; }

    bool ValueExists(const std::string& name);
    // Only REG_DWORD.
    std::int32_t ReadInteger(const std::string& name);
    // Only REG_BINARY of exactly 8 bytes: a little-endian IEEE-754 double.
    double ReadFloat(const std::string& name);
    // REG_SZ or REG_EXPAND_SZ, not expanded; a missing value reads as empty text.
    std::string ReadString(const std::string& name);
    // Copies the value's bytes to the start of buffer and returns their count. A missing value
    // leaves the buffer untouched and returns 0; only binary and untyped values are read, and
    // data longer than size is an error too.
    std::size_t ReadBinaryData(const std::string& name, void* buffer, std::size_t size);

    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteFloat(const std::string& name, double value);
    void WriteString(const std::string& name, const std::string& value);
    void WriteBinaryData(const std::string& name, const void* data, std::size_t size);
    // A failure (also a missing value) is ignored.
    void DeleteValue(const std::string& name);

private:
    RegKey CurrentKey();
    // Reads the value or raises ReadFailure; false when it does not exist.
    bool Query(const std::string& name, std::uint32_t& type, std::vector<std::uint8_t>& data);
    void Write(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::size_t size);

    // The answer ValueExists received, kept for the read that nearly always follows it: each
    // query is a round trip to the registry (a server call under Wine). Any other use of the
    // adapter forgets it.
    struct Answer {
        bool held = false;
        RegKey key = 0;
        std::string name;
        RegQuery result = RegQuery::Missing;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };

    RegistryPort& port_;
    RegRoot root_ = RegRoot::CurrentUser;
    RegKey key_ = 0;
    Answer answer_;
};

extern const char* const kInvalidDataType;  // "Invalid data type for '%s'"
extern const char* const kFailedToGetData;  // "Failed to get data for '%s'"
extern const char* const kFailedToSetData;  // "Failed to set data for '%s'"

}  // namespace lumora
