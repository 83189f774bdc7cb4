// The settings-file reader and writer on a file of arbitrary content (binary, no
// section, huge lines). Besides no crash: a value written reads back as written
// (trimmed, unquoted, cut to 99 characters, as the profile functions give it); every
// other key keeps the value it had; no temporary file stays beside the file.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ascii_text.h"
#include "platform/ini_file.h"

namespace {

const char* const kFile = "fuzz.ini";

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s: %s\n", what, detail.c_str());
    std::abort();
}

// What a read gives for a value written as it is.
std::string asRead(const std::string& written) {
    std::string v(trim(written));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v.size() > 99 ? v.substr(0, 99) : v;
}

// Every section and key name of the file, as the reader would find them.
std::vector<std::pair<std::string, std::string>> keysOf(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line(trim(text.substr(pos, end - pos)));
        pos = end + 1;
        if (line.size() >= 2 && line[0] == '[' && line.find(']') != std::string::npos) {
            section = std::string(trim(line.substr(1, line.find(']') - 1)));
        } else if (line.find('=') != std::string::npos) {
            const std::string key(trim(line.substr(0, line.find('='))));
            if (!key.empty()) keys.emplace_back(section, key);
        }
    }
    return keys;
}

}  // namespace

// The input: a byte choosing section and key, a value line, then the file's content.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const char* const sections[] = {"Settings", "settings", "Other", "S"};
    const char* const keys[] = {"Start", "Claimed", "SoapBox", "master_x", "start", "Name"};
    const std::string section = sections[data[0] % 4];
    const std::string key = keys[(data[0] >> 2) % 6];
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t eol = rest.find('\n');
    std::string value = rest.substr(0, eol);
    for (char& c : value)
        if (c == '\r' || c == '\0') c = ' ';
    const std::string content = eol == std::string::npos ? std::string() : rest.substr(eol + 1);

    if (FILE* f = std::fopen(kFile, "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    std::vector<std::pair<std::string, std::string>> others;
    std::vector<std::string> before;
    for (const auto& sk : keysOf(content)) {
        if (iequals(sk.first, section) && iequals(sk.second, key)) continue;
        others.push_back(sk);
        before.push_back(ini::read(kFile, sk.first, sk.second));
    }
    if (!ini::write(kFile, section, key, value)) broken("write failed", key);
    if (ini::read(kFile, section, key) != asRead(value)) broken("value does not read back", key);
    for (size_t i = 0; i < others.size(); ++i)
        if (ini::read(kFile, others[i].first, others[i].second) != before[i])
            broken("another key changed", others[i].first + "/" + others[i].second);
    DIR* dir = opendir(".");
    while (dirent* e = dir ? readdir(dir) : nullptr)
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..") && std::strcmp(e->d_name, kFile))
            broken("a file stayed beside the settings", e->d_name);
    if (dir) closedir(dir);
    return 0;
}
