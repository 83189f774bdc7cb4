// The country-file reader on arbitrary text, then calls resolved against what it read.
// Besides no crash: a file read without error resolves each call to a DXCC entity with
// a continent, or to nothing, never to half of one; and the same call gives the same
// answer whatever its letter case and surrounding blanks.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "logs/cty.h"

namespace {

[[noreturn]] void broken(const char* what, std::string_view call, const replay::CtyResult& r = {}) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s for '%.*s' (prefix '%s', continent '%s', entity '%s')\n", what,
                 static_cast<int>(call.size()), call.data(), r.prefix.c_str(), r.continent.c_str(), r.entity.c_str());
    std::abort();
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

// The input is the country file, then (after a line "#CALLS") calls, one a line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find("#CALLS\n");
    const std::string_view file = input.substr(0, split);
    std::string_view calls = split == std::string_view::npos ? std::string_view() : input.substr(split + 7);

    replay::CountryFile cty;
    std::string error;
    if (!cty.parse(file, "cty.dat", error)) {
        if (error.empty()) broken("refused without a reason", "");
        return 0;
    }
    if (calls.empty()) calls = "DL1ABC\nUT1AA\nK1ABC/MM\nOK1XYZ/P\nIT9ABC\n/\n=";
    size_t pos = 0;
    while (pos <= calls.size()) {
        size_t end = calls.find('\n', pos);
        if (end == std::string_view::npos) end = calls.size();
        const std::string_view call = calls.substr(pos, end - pos);
        pos = end + 1;
        const replay::CtyResult r = cty.resolve(call);
        if (r.found() && (r.continent.empty() || r.entity.empty()))
            broken("placed without continent or entity", call, r);
        if (r.maritime && r.found()) broken("maritime and placed", call);
        const replay::CtyResult again = cty.resolve(" " + lower(call) + " ");
        if (again.prefix != r.prefix || again.continent != r.continent) broken("depends on letter case", call);
    }
    return 0;
}
