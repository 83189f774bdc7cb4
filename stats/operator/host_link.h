// The host's automation object as the operator windows use it: the typed call, the
// dial frequency, the mode, and macros. The Win32 client implements it on the window
// thread; tests script it. Every call says whether it worked: a failed call abandons
// what the caller was doing, never with an exception.
#pragma once
#include <string>

class HostLink {
public:
    virtual ~HostLink() = default;
    // False while no running host was found: nothing else is asked then.
    virtual bool bound() const = 0;
    virtual bool entryField(int field, std::string& text) = 0;  // field 5: the typed call
    virtual bool frequency(double& hertz) = 0;
    virtual bool mode(std::string& text) = 0;
    virtual bool executeMacro(const std::string& macro) = 0;
};
