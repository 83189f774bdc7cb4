// The class behind the ProgID "Orba2.Application", so that clients find the running object
// by name. Where the name is registered already (the real host's installation, or an
// earlier run of the stand-in) that class is used and nothing is written. Otherwise the
// stand-in's own class is registered for the current user, as on Windows, and for the
// machine too where per-user classes are not read (Wine 8 resolves names only there).
#pragma once
#include <windows.h>

#include <string>

namespace standin {

extern const wchar_t* const kProgId;
// The stand-in's own class; the real host's is whatever its installation registered.
extern const CLSID kStandInClsid;

bool registerProgId(CLSID& clsid, std::string& error);

}  // namespace standin
