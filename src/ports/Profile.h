// Profile port: the system's INI file service, addressed by a file name alone.
#pragma once
#include <string>

namespace lumora {

class ProfilePort {
public:
    virtual ~ProfilePort() = default;
    // Returns at most maxChars characters of the value, or def when the key is missing.
    virtual std::string readString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& def, std::size_t maxChars) = 0;
    virtual bool writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    virtual bool deleteKey(const std::string& file, const std::string& section, const std::string& key) = 0;
    // Writes the file's cached changes to disk. Windows 9x keeps profile writes in a cache that
    // other programs do not see and a crash loses; the NT family writes through. Never fails.
    virtual void flush(const std::string& file) = 0;
};

}  // namespace lumora
