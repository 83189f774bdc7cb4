#include "mode_switch.h"

namespace modepad {

namespace {
const char* const kModeRtty = "<MODE:RTTY>";
const char* const kBaud75 = "<BAUDRATE:75>";
const char* const kModeBpsk31 = "<MODE:BPSK31>";
const char* const kBaud63 = "<BAUDRATE:63>";
}  // namespace

std::vector<std::string> startMacros() { return {kModeBpsk31, kBaud63}; }

bool readsHostMode(Button button) { return button == Button::bpsk63; }

std::vector<std::string> buttonMacros(Button button, std::u16string_view hostMode) {
    if (button == Button::rtty75) return {kModeRtty, kBaud75};
    if (hostMode == u"BPSK31") return {kBaud63};
    return {kModeBpsk31, kBaud63};
}

bool isHostWindowClass(std::string_view className) {
    return className.substr(0, kHostWindowClassPrefix.size()) == kHostWindowClassPrefix;
}

bool isHostExecutable(std::string_view fileName) {
    const auto sameLetters = [](std::string_view text, std::string_view lower) {
        if (text.size() != lower.size()) return false;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
            if (c != lower[i]) return false;
        }
        return true;
    };
    return fileName.size() >= 8 && sameLetters(fileName.substr(0, 4), "orba") &&
           sameLetters(fileName.substr(fileName.size() - 4), ".exe");
}

}  // namespace modepad
