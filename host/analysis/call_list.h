// Calls to check: the super-check-partial list (MASTER.SCP, one call a line, '#' starts
// a comment), and the search for calls one edit apart, which is how a busted call most
// often looks: one character wrong, missing or extra.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace replay {

class CallList {
public:
    bool load(const std::string& path, std::string& error);
    void parse(std::string_view text);

    // The call as given, or one of its '/' parts ("DL/OK1ABC/P" is OK1ABC's).
    bool contains(const std::string& call) const;
    // Where calls() holds the call as given, or -1.
    long indexOf(const std::string& call) const;
    const std::vector<std::string>& calls() const { return calls_; }

private:
    std::vector<std::string> calls_;
    std::unordered_map<std::string, uint32_t> index_;
};

// True when one substitution, insertion or deletion turns a into b (Levenshtein
// distance exactly 1; two swapped characters are two edits).
bool oneEditApart(std::string_view a, std::string_view b);

// Finds, among many words, those one edit from a given word. Two words are one edit apart
// only when one of them, or both with one character removed at the same place, are
// equal: each word is filed under itself and under each of its one-deletion forms, and a
// query looks up its own forms the same way. Candidates are confirmed by oneEditApart.
class NearMissIndex {
public:
    // Word ids are their order of adding.
    void reserve(size_t words);
    uint32_t add(std::string_view word);
    void build();  // after the last add, before the first query
    // The ids of the words one edit from word, each once, in increasing order.
    std::vector<uint32_t> query(std::string_view word) const;
    const std::string& word(uint32_t id) const { return words_[id]; }

private:
    std::vector<std::string> words_;
    std::vector<std::pair<uint64_t, uint32_t>> keys_;  // hash of a form, word id; sorted
};

// Where the program looks for MASTER.SCP when --scp is not given: beside cty.dat.
std::string defaultScpPath(const std::string& programDir);

}  // namespace replay
