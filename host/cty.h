// The community country file (cty.dat): which DXCC entity and continent a call sign
// belongs to.
//
// Format: an entity line "Name: CQ: ITU: Cont: Lat: Lon: TZ: Prefix:" followed by a
// comma-separated alias list ended by ';'. Aliases are prefixes, or "=CALL" for exact
// calls, each optionally followed by overrides: (CQ zone) [ITU zone] <lat/lon> {continent}
// ~time zone~. Only the continent override matters here.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace replay {

struct CtyEntity {
    std::string name;
    std::string prefix;     // primary prefix, "UR"; the WAE-only marker '*' removed
    std::string continent;  // "EU"
};

struct CtyResult {
    std::string prefix;     // empty when not placed
    std::string continent;  // empty when not placed
    std::string entity;     // entity name, for messages
    bool maritime = false;  // /MM: deliberately no country
    bool found() const { return !prefix.empty(); }
};

class CountryFile {
public:
    // False with "file:line: reason" in error when the text is not a country file.
    bool parse(std::string_view text, const std::string& fileName, std::string& error);
    bool load(const std::string& path, std::string& error);

    size_t entityCount() const { return entities_.size(); }
    CtyResult resolve(std::string_view call) const;

private:
    struct Target {
        uint32_t entity;
        std::string continent;  // override, or empty
    };
    const Target* exact(std::string_view call) const;
    const Target* longestPrefix(std::string_view text) const;
    const Target* resolveBase(std::string_view call) const;
    CtyResult result(const Target* t) const;

    std::vector<CtyEntity> entities_;
    std::unordered_map<std::string, Target> prefixes_;
    std::unordered_map<std::string, Target> exactCalls_;
    size_t longestPrefixLength_ = 0;
};

// Where the program looks for cty.dat when --cty is not given.
std::string defaultCtyPath(const std::string& programDir);

}  // namespace replay
