#include "replay/profile.h"

#include <filesystem>
#include <fstream>

#include "ascii_text.h"
#include "logs/log.h"
#include "whole_file.h"

namespace replay {

namespace {

const char* const kSection = "Settings";

bool sectionName(const std::string& line, std::string& name) {
    const std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    name = std::string(trim(t.substr(1, close - 1)));
    return true;
}

std::string replaced(std::string s, const std::string& find, const std::string& by) {
    for (size_t at = s.find(find); at != std::string::npos; at = s.find(find, at + by.size()))
        s.replace(at, find.size(), by);
    return s;
}

}  // namespace

const char* const kSettingsRelativePath = "Plugins/TALVENA-CUP.ini";

bool ProfileFile::load(const std::string& path, std::string& error) {
    lines_.clear();
    std::ifstream probe(path, std::ios::binary);
    if (!probe) return true;  // no file yet: no settings
    probe.close();
    std::string text;
    if (!readWholeFile(path, size_t(1) << 20, "settings file", text, error)) return false;
    size_t pos = 0;
    std::string_view line;
    while (nextLine(text, pos, line)) lines_.emplace_back(line);
    return true;
}

bool ProfileFile::save(const std::string& path, std::string& error) const {
    std::string text;
    for (const std::string& l : lines_) text += l + "\r\n";
    std::string why;
    if (writeWholeFile(std::filesystem::u8path(path), text, why)) return true;
    error = "cannot write the settings file '" + path + "': " + why;
    return false;
}

bool ProfileFile::find(const std::string& key, size_t& index, std::string* value) const {
    bool inSection = false;
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (sectionName(lines_[i], name)) {
            inSection = iequals(name, kSection);
            continue;
        }
        const size_t eq = lines_[i].find('=');
        if (!inSection || eq == std::string::npos || !iequals(trim(std::string_view(lines_[i]).substr(0, eq)), key))
            continue;
        index = i;
        if (value) {
            *value = std::string(trim(std::string_view(lines_[i]).substr(eq + 1)));
            // Quoted values lose their quotes, as with the Windows functions.
            if (value->size() >= 2 && (value->front() == '"' || value->front() == '\'') &&
                value->back() == value->front())
                *value = value->substr(1, value->size() - 2);
        }
        return true;
    }
    return false;
}

std::string ProfileFile::get(const std::string& key) const {
    size_t index;
    std::string value;
    return find(key, index, &value) ? value : std::string();
}

bool ProfileFile::has(const std::string& key) const {
    size_t index;
    return find(key, index, nullptr);
}

void ProfileFile::set(const std::string& key, const std::string& value) {
    size_t index;
    if (find(key, index, nullptr)) {
        lines_[index] =
            std::string(trim(std::string_view(lines_[index]).substr(0, lines_[index].find('=')))) + "=" + value;
        return;
    }
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (sectionName(lines_[i], name) && iequals(name, kSection)) {
            lines_.insert(lines_.begin() + long(i) + 1, key + "=" + value);
            return;
        }
    }
    lines_.push_back(std::string("[") + kSection + "]");
    lines_.push_back(key + "=" + value);
}

std::string encodeLineBreaks(const std::string& value) {
    return replaced(replaced(replaced(value, "\r\n", "\n"), "\r", "\n"), "\n", "<CR><LF>");
}

std::string decodeLineBreaks(const std::string& value) {
    return replaced(replaced(replaced(value, "<CR><LF>", "\n"), "<CR>", "\n"), "<LF>", "\n");
}

}  // namespace replay
