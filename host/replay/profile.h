// The plug-in's settings file (Plugins/TALVENA-CUP.ini) as the replay tool reads and
// seeds it: the classic profile format, "[Settings]" and "Key=value" lines, read the way
// the Windows profile functions read it (names ignore letter case, values are trimmed)
// and written back with every other line as it was.
#pragma once
#include <string>
#include <vector>

namespace replay {

extern const char* const kSettingsRelativePath;  // "Plugins/TALVENA-CUP.ini"

class ProfileFile {
public:
    // A missing file is an empty profile; false with a reason when it cannot be read.
    bool load(const std::string& path, std::string& error);
    bool save(const std::string& path, std::string& error) const;

    // Values of the section "Settings"; empty when missing.
    std::string get(const std::string& key) const;
    bool has(const std::string& key) const;
    void set(const std::string& key, const std::string& value);

private:
    bool find(const std::string& key, size_t& index, std::string* value) const;
    std::vector<std::string> lines_;
};

// Line breaks of a header value as the plug-in keeps them in its settings file ("<CR><LF>"),
// and back.
std::string encodeLineBreaks(const std::string& value);
std::string decodeLineBreaks(const std::string& value);

}  // namespace replay
