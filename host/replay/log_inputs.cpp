#include "replay/log_inputs.h"

#include <algorithm>
#include <filesystem>

#include "ascii_text.h"
#include "logs/log.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

bool isLogName(const fs::path& p) {
    const std::string ext = toUpper(p.extension().u8string());
    return ext == ".LOG" || ext == ".CBR" || ext == ".ADI" || ext == ".ADIF";
}

bool folderLogs(const std::string& folder, std::vector<std::string>& logs, std::string& error) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(fs::u8path(folder), ec), end; !ec && it != end; it.increment(ec))
        if (isLogName(it->path()) && it->is_regular_file(ec)) found.push_back(it->path().u8string());
    if (ec) {
        error = "cannot read the folder '" + printable(folder, 200) + "': " + ec.message();
        return false;
    }
    if (found.empty()) {
        error = "the folder '" + printable(folder, 200) + "' holds no *.log, *.cbr, *.adi or *.adif file";
        return false;
    }
    std::sort(found.begin(), found.end());
    logs.insert(logs.end(), found.begin(), found.end());
    return true;
}

bool listedLogs(const std::string& list, std::vector<std::string>& logs, std::string& error) {
    // A list of some 100,000 paths.
    constexpr size_t kLimit = size_t(64) << 20;
    std::string text;
    if (!readWholeFile(list, kLimit, "list of logs", text, error)) return false;
    const fs::path base = fs::u8path(list).parent_path();
    size_t pos = 0, before = logs.size();
    std::string_view line;
    while (nextLine(text, pos, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        const fs::path p = fs::u8path(std::string(line));
        logs.push_back(p.is_relative() ? (base / p).u8string() : p.u8string());
    }
    if (logs.size() == before) {
        error = "the list of logs '" + printable(list, 200) + "' names no log";
        return false;
    }
    return true;
}

}  // namespace

bool expandLogInputs(const std::vector<std::string>& args, std::vector<std::string>& logs, std::string& error) {
    for (const std::string& arg : args) {
        std::error_code ec;
        if (arg.size() > 1 && arg[0] == '@') {
            if (!listedLogs(arg.substr(1), logs, error)) return false;
        } else if (arg != "-" && fs::is_directory(fs::u8path(arg), ec)) {
            if (!folderLogs(arg, logs, error)) return false;
        } else {
            logs.push_back(arg);
        }
    }
    return true;
}

}  // namespace replay
