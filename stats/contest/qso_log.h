// The log of accepted QSOs: a vector whose records outlive a reset.
//
// A host rescans its whole log after every edit: a reset, then every QSO again. Destroying
// the records at the reset reads every one of them (each text checks where its characters
// live), and at 100,000 QSOs the log is 37 MB, far beyond the processor's caches; the
// rescan then writes them again. Here a reset only forgets how many are live, and the
// rescan assigns each new record over a spent one: the log's memory is touched once per
// rescan instead of twice. Spent records keep their texts' storage until overwritten.
#pragma once
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "contest/info.h"

class QsoLog {
public:
    using iterator = std::vector<CInfo>::iterator;
    using const_iterator = std::vector<CInfo>::const_iterator;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    CInfo& operator[](size_t i) { return records_[i]; }
    const CInfo& operator[](size_t i) const { return records_[i]; }
    const CInfo& at(size_t i) const {
        if (i >= size_) throw std::out_of_range("QsoLog::at");
        return records_[i];
    }
    const CInfo& back() const { return records_[size_ - 1]; }
    iterator begin() { return records_.begin(); }
    iterator end() { return records_.begin() + static_cast<std::ptrdiff_t>(size_); }
    const_iterator begin() const { return records_.begin(); }
    const_iterator end() const { return records_.begin() + static_cast<std::ptrdiff_t>(size_); }

    void push_back(CInfo&& q) {
        if (size_ < records_.size())
            records_[size_] = std::move(q);
        else
            records_.push_back(std::move(q));
        ++size_;
    }
    void push_back(const CInfo& q) { push_back(CInfo(q)); }
    void clear() { size_ = 0; }
    // The records after `at` move down one place; the last place becomes a spent record.
    void erase(const_iterator at) {
        const iterator from = records_.begin() + (at - records_.cbegin());
        std::move(from + 1, end(), from);
        --size_;
    }

private:
    std::vector<CInfo> records_;  // [0, size_) live, the rest spent
    size_t size_ = 0;
};
