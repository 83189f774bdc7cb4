// Feeds the exported functions arbitrary texts, date-times and call orders, with
// AddressSanitizer and UndefinedBehaviorSanitizer watching. The input is read as a
// little program: each step picks an export and takes its arguments from the bytes
// that follow.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "exports.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool empty() const { return p_ >= end_; }
    uint8_t byte() { return empty() ? 0 : *p_++; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return v;
    }
    // A text of up to 255 bytes; one in eight is a null pointer.
    const char* text(std::vector<std::string>& keep) {
        const uint8_t n = byte();
        if (n % 8 == 7) return nullptr;
        std::string s;
        for (uint8_t i = 0; i < n && !empty(); ++i) {
            const char c = static_cast<char>(byte());
            if (c) s.push_back(c);
        }
        keep.push_back(s);
        return keep.back().c_str();
    }
    const OleDateTime* time(std::vector<OleDateTime>& keep) {
        const uint8_t kind = byte();
        if (kind % 5 == 4) return nullptr;
        const uint32_t raw = u32();
        double v = 43085.0 + (raw % 100000) / 1440.0;
        if (kind % 5 == 3) v = (raw & 1) ? std::nan("") : raw * 1e300;  // NaN, huge or infinite
        keep.push_back(OleDateTime{v, static_cast<int32_t>(kind % 4)});
        return &keep.back();
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m", "160m", "80M", ""};
const char* const kModes[] = {"RTTY", "BPSK63", "rtty", "PSK31"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const char* e = "";
    int steps = 0;
    while (!in.empty() && steps++ < 64) {
        std::vector<std::string> texts;
        texts.reserve(64);
        std::vector<OleDateTime> times;
        times.reserve(8);
        switch (in.byte() % 6) {
            case 0: {
                const char* call = in.text(texts);
                const char* prefix = in.text(texts);
                const OleDateTime* end = in.time(times);
                ResetStats0(in.text(texts), 0, call, in.time(times), end, e, e, e, e, e, e, e, e, e, prefix, 0, 0, 0, 0,
                            0, e, in.text(texts), e);
                break;
            }
            case 1:
            case 2: {
                const char* band = (in.byte() & 1) ? kBands[in.byte() % 8] : in.text(texts);
                const char* mode = (in.byte() & 1) ? kModes[in.byte() % 4] : in.text(texts);
                const char* call = in.text(texts);
                const OleDateTime* t = in.time(times);
                const unsigned freq = in.u32();
                const char* exch = in.text(texts);
                const char* prefix = (in.byte() & 1) ? "UR" : in.text(texts);
                auto f = (steps % 3) ? AddData0 : RemoveData0;
                f("OK1XYZ", call, t, nullptr, nullptr, nullptr, 0, freq, mode, "599", "599", "001", exch, e, e, e, e, e,
                  e, e, e, e, prefix, 0, 0, 0, 0, 0, e, in.text(texts), e, band, e);
                break;
            }
            case 3: {
                char hint[100], warning[100];
                const char* band = (in.byte() & 1) ? kBands[in.byte() % 8] : in.text(texts);
                const char* mode = (in.byte() & 1) ? kModes[in.byte() % 4] : in.text(texts);
                const char* call = in.text(texts);
                CheckCallFunc0(call, 0, 0, mode, e, e, e, e, e, e, e, e, in.text(texts), in.text(texts), 0, 0, 0, 0, 0,
                               e, e, e, e, in.text(texts), band, in.text(texts), (in.byte() & 1) ? hint : nullptr,
                               warning);
                break;
            }
            case 4: {
                int out;
                GetResult0((in.byte() & 1) ? &out : nullptr);
                if (in.byte() % 16 == 0) setVersion(nullptr);
                break;
            }
            default:
                StatsIsValidExchg0(in.text(texts), e, in.text(texts), e, 0, 0, 0);
                GetSetName(static_cast<int>(in.u32()));
                break;
        }
    }
    return 0;
}
