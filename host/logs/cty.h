// The community country file (cty.dat): which DXCC entity and continent a call sign
// belongs to.
//
// Format: an entity line "Name: CQ: ITU: Cont: Lat: Lon: TZ: Prefix:" followed by a
// comma-separated alias list ended by ';'. Aliases are prefixes, or "=CALL" for exact
// calls, each optionally followed by overrides: (CQ zone) [ITU zone] <lat/lon> {continent}
// ~time zone~. Only the continent override matters here.
//
// Entities whose primary prefix is marked '*' are on the WAE list only (Sicily "*IT9",
// European Turkey "*TA1", Vienna Intl Ctr "*4U1V", ...). They are no DXCC entities, so a
// call they list counts for the DXCC entity that contains it: the DXCC entity that also
// lists the same call or prefix, or else the one with the longest prefix of it (IT9ABC
// counts as "I", 4U1A as "OE", TA1BX as "TA"). The continent stays the one the full list
// gives, from the first listing and its override (TA1BX is in "EU", IG9A in "AF").
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
    bool waeOnly = false;   // marked '*': on the WAE list only, no DXCC entity
};

struct CtyResult {
    std::string prefix;     // the DXCC entity's primary prefix; empty when not placed
    std::string continent;  // where the station is; empty when not placed
    std::string entity;     // the DXCC entity's name, for messages
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
    static constexpr uint32_t kNoEntity = UINT32_MAX;
    // One call or prefix of the alias lists.
    struct Listing {
        uint32_t entity;                  // the first entity that lists it: where the station is
        std::string continent;            // that listing's override, or empty
        uint32_t dxccEntity = kNoEntity;  // the first DXCC entity that lists it, if any
    };
    // A call placed: the listing that says where, and the DXCC entity it counts for.
    struct Match {
        const Listing* where = nullptr;
        uint32_t dxccEntity = kNoEntity;
        explicit operator bool() const { return where != nullptr; }
    };
    Match exact(std::string_view call) const;
    Match longestPrefix(std::string_view text) const;
    const Listing* longestListing(std::string_view text, bool dxccOnly) const;
    uint32_t countsFor(const Listing& listing, std::string_view text) const;
    Match resolveBase(std::string_view call) const;
    CtyResult result(const Match& m) const;

    std::vector<CtyEntity> entities_;
    std::unordered_map<std::string, Listing> prefixes_;
    std::unordered_map<std::string, Listing> exactCalls_;
    size_t longestPrefixLength_ = 0;
};

// Where the program looks for cty.dat when --cty is not given.
std::string defaultCtyPath(const std::string& programDir);

}  // namespace replay
