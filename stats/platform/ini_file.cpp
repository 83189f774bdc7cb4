#include "platform/ini_file.h"

#include <fstream>
#include <mutex>
#include <vector>

#include "ascii_text.h"
#include "whole_file.h"

namespace {

std::vector<std::string> readLines(const std::string& path, bool& exists) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool isSection(const std::string& line, std::string& name) {
    const std::string t(trim(line));
    if (t.size() < 2 || t.front() != '[') return false;
    const size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = std::string(trim(t.substr(1, close - 1)));
    return true;
}

bool isKey(const std::string& line, const std::string& key, std::string* value) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    if (!iequals(trim(line.substr(0, eq)), key)) return false;
    if (value) *value = std::string(trim(line.substr(eq + 1)));
    return true;
}

}  // namespace

namespace ini {

std::string read(const std::string& path, const std::string& section, const std::string& key) {
    bool exists = false;
    const auto lines = readLines(path, exists);
    bool inSection = false;
    std::string name, value;
    for (const auto& line : lines) {
        if (isSection(line, name)) {
            inSection = iequals(name, section);
            continue;
        }
        if (inSection && isKey(line, key, &value)) {
            // Quoted values lose their quotes, as with the Windows functions.
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            if (value.size() > 99) value.resize(99);
            return value;
        }
    }
    return std::string();
}

bool write(const std::string& path, const std::string& section, const std::string& key, const std::string& value) {
    // The host's thread and the window thread both write settings: one read-modify-write
    // at a time, or one of two keys written together could be lost.
    static std::mutex writing;
    const std::lock_guard<std::mutex> hold(writing);
    bool exists = false;
    auto lines = readLines(path, exists);
    const std::string entry = key + "=" + value;
    bool inSection = false, sectionSeen = false, done = false;
    size_t insertAt = lines.size();
    std::string name;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (isSection(lines[i], name)) {
            if (inSection) break;  // end of our section: insert before the next one
            inSection = iequals(name, section);
            if (inSection) {
                sectionSeen = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (isKey(lines[i], key, nullptr)) {
            // The key keeps the spelling it already has in the file.
            lines[i] = std::string(trim(lines[i].substr(0, lines[i].find('=')))) + "=" + value;
            done = true;
        } else if (!trim(lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionSeen) {
            lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(entry);
        }
    }
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    // Never truncated in place: on a full disk that lost the whole file.
    std::string error;
    return writeWholeFile(nativePath(path), text, error);
}

}  // namespace ini
