// The INI adapter over the profile service, for one file named without a folder.
#pragma once
#include <string>

#include "ports/Profile.h"

namespace lumora {

class TIniFile {
public:
    TIniFile(ProfilePort& port, std::string fileName) : port_(port), fileName_(std::move(fileName)) {}

    // At most kMaxRead characters of the value; def when the key is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def);
    // A refused write raises "Unable to write to <file name>".
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // A failure is ignored.
    void DeleteKey(const std::string& section, const std::string& key);
    // Writes the cached changes to disk (see ProfilePort::flush); never fails.
    void UpdateFile();

    static constexpr std::size_t kMaxRead = 2047;

private:
    ProfilePort& port_;
    std::string fileName_;
};

extern const char* const kSystemIni;  // "SYSTEM.INI"

}  // namespace lumora
