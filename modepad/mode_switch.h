// What modepad sends and where it looks, apart from the Win32 calls that do it: the
// macros of each button in order, and the host's main window by its class name.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace modepad {

enum class Button { rtty75, bpsk63 };

// Sent once at start: the host goes to BPSK63.
std::vector<std::string> startMacros();

// Whether the button reads the host's Mode before it sends anything.
bool readsHostMode(Button button);

// The macros a button sends, in order, one ExecuteMacros call each. hostMode is the
// host's Mode as read just before (used by BPSK63 only): a host already in "BPSK31"
// only needs its baud rate set.
std::vector<std::string> buttonMacros(Button button, std::u16string_view hostMode);

// The host's main window class begins with these 18 characters, compared exactly.
constexpr std::string_view kHostWindowClassPrefix = "Afx:400000:b:10011";
bool isHostWindowClass(std::string_view className);
// When no window has that class (another build of the host), the host's window is the
// only visible unowned top-level window of the only process whose executable file is
// named Orba*.exe, in any case: `fileName` without its folder.
bool isHostExecutable(std::string_view fileName);

}  // namespace modepad
