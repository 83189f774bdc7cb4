// modepad's way to the running host: the object "Orba2.Application" from the
// running-object table (the host is never started), its members called by name.
#pragma once
#include <oaidl.h>
#include <windows.h>

#include <string>

#include "win32_owners.h"

namespace modepad {

// Why a host call failed, as the message modepad shows before it ends.
struct HostError {
    HRESULT code = S_OK;
    std::wstring description;  // the host's own words, when it gave any
    std::wstring message(const wchar_t* member) const;
};

// The running host's object; an error (nothing started) when no host runs.
HRESULT getRunningHost(win32::ComPtr<IDispatch>& host) noexcept;

// host.ExecuteMacros(text), its result ignored.
bool executeMacros(IDispatch* host, const std::wstring& text, HostError& error) noexcept;
// host.Mode, as a string.
bool readMode(IDispatch* host, std::wstring& mode, HostError& error) noexcept;

}  // namespace modepad
