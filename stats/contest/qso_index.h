// Lookups over the log that the acceptance rules, the call check and removal need,
// kept in step with the log so that each answers in constant time. Every answer is
// the one a scan of the log from its first entry would give (the first match); the
// plain scans are kept as a switchable variant, to check that and to measure the gain.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "contest/info.h"
#include "contest/qso_log.h"

class QsoIndex {
public:
    explicit QsoIndex(const QsoLog& log) : log_(log) {}
    void clear();
    // Record the entry just appended to the log at `index`.
    void add(const CInfo& q, int index);
    // After entries were removed from the log.
    void rebuild();
    void usePlainScans(bool on) { plain_ = on; }

    // Is there an entry with this call, band and mode?
    bool hasCall(const std::string& call, const std::string& band, const std::string& mode) const;
    // First entry with this call, band and mode at the same instant; -1 when none.
    int findQso(const std::string& call, const std::string& band, const std::string& mode, const DateTime& time) const;
    // First entry with this band, mode and prefix; -1 when none.
    int firstWithPrefix(const std::string& band, const std::string& mode, const std::string& prefix) const;
    // First entry with this band, mode and area (the empty area included); -1 when none.
    int firstWithArea(const std::string& band, const std::string& mode, const std::string& area) const;
    // Every entry with this call, in log order: what the operator windows show of a call
    // being typed, at a cost that does not grow with the log.
    std::vector<int> entriesOfCall(const std::string& call) const;

private:
    // Entries whose key texts share a hash, in log order: a chain through `next`.
    // Hashes may collide, so every candidate is compared in full.
    // An open-addressing table (no allocation per entry) from hash to the chain's ends.
    // A rescan empties it by starting a new run: a slot stamped with an older run is
    // free, so a reset does not write the whole table (megabytes for a large log).
    struct Chains {
        struct Slot {
            uint32_t hash = 0;
            uint32_t run = 0;  // the run that filled the slot; free when not the current one
            int first = -1, last = -1;
        };
        std::vector<Slot> slots;  // size a power of two, at most half full
        size_t used = 0;
        uint32_t run = 1;
        std::vector<int> next;  // by log index; -1 ends a chain
        Slot* find(uint32_t hash);
        const Slot* find(uint32_t hash) const;
        bool isFree(const Slot& s) const { return s.run != run; }
        void grow();
        void clear();
        void add(uint32_t hash, int index);
        template <typename Match>
        int first(uint32_t hash, Match match) const;
    };
    const QsoLog& log_;
    bool plain_ = false;
    // By call alone (its chain holds every band and mode of the call: a handful of
    // entries), and by band, mode and prefix or area.
    Chains calls_, prefixes_, areas_;
};
