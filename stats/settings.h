// The plug-in's settings file and the detection of the host's version.
#pragma once
#include <string>

#include "platform/seams.h"

extern const char* const kSettingsFile;     // "Plugins\TALVENA-CUP.ini", passed unchanged to the store
extern const char* const kSettingsSection;  // "Settings"

class Settings {
public:
    explicit Settings(ProfileStore& store) : store_(store) {}
    std::string get(const std::string& key) const;
    // Leading decimal number of the value; empty or non-numeric gives 0.
    int getInt(const std::string& key) const;
    void set(const std::string& key, const std::string& value) const;

private:
    ProfileStore& store_;
};

// Looks for a file whose name contains "Orba2.ini" among hostFolder + "*.ini"; when there
// is one, reads the bare "Orba2.ini" of the current folder for its "Orba=" line.
// hostVersion becomes "Orba" when no such file is listed, and keeps its value when the
// file cannot be read or has no such line.
void detectHostVersion(FolderSearch& folders, const std::string& hostFolder, std::string& hostVersion);
