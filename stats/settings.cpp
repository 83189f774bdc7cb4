#include "settings.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

// HOST-QUIRK: "TALVENA", as the files operators already have are named.
const char* const kSettingsFile = "Plugins\\TALVENA-CUP.ini";
const char* const kSettingsSection = "Settings";

std::string Settings::get(const std::string& key) const { return store_.read(kSettingsFile, kSettingsSection, key); }

int Settings::getInt(const std::string& key) const {
    const std::string v = get(key);
    return static_cast<int>(std::strtol(v.c_str(), nullptr, 10));
}

void Settings::set(const std::string& key, const std::string& value) const {
    store_.write(kSettingsFile, kSettingsSection, key, value);
}

void detectHostVersion(FolderSearch& folders, const std::string& hostFolder, std::string& hostVersion) {
    bool found = false;
    for (const auto& name : folders.list(hostFolder + "*.ini")) {
        if (name.find("Orba2.ini") != std::string::npos) {
            found = true;
            break;
        }
    }
    if (!found) {
        hostVersion = "Orba";
        return;
    }
    std::ifstream in("Orba2.ini");
    if (!in) return;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find("Orba=") != std::string::npos) {
            hostVersion = line.size() > 5 ? line.substr(5) : std::string();
            return;
        }
    }
}
