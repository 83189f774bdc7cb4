#include "standin/registration.h"

#include <objbase.h>

#include "win32_owners.h"

namespace standin {

const wchar_t* const kProgId = L"Orba2.Application";
// {EF7FFBDC-433F-4876-98C0-BB8E359E20BF}
const CLSID kStandInClsid = {0xef7ffbdc, 0x433f, 0x4876, {0x98, 0xc0, 0xbb, 0x8e, 0x35, 0x9e, 0x20, 0xbf}};

namespace {

bool setDefault(HKEY root, const std::wstring& path, const std::wstring& value) {
    win32::RegistryKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Under `classes` (a Classes key): the ProgID names the class, the class names its ProgID.
bool writeClass(HKEY root, const std::wstring& classes, const std::wstring& clsidText) {
    const std::wstring progId(kProgId);
    return setDefault(root, classes + progId, L"Orba2 stand-in host") &&
           setDefault(root, classes + progId + L"\\CLSID", clsidText) &&
           setDefault(root, classes + L"CLSID\\" + clsidText, L"Orba2 stand-in host") &&
           setDefault(root, classes + L"CLSID\\" + clsidText + L"\\ProgID", progId);
}

}  // namespace

bool registerProgId(CLSID& clsid, std::string& error) {
    if (SUCCEEDED(CLSIDFromProgID(kProgId, &clsid))) return true;
    wchar_t text[64] = {};
    if (!StringFromGUID2(kStandInClsid, text, 64)) {
        error = "cannot format the class id";
        return false;
    }
    const bool perUser = writeClass(HKEY_CURRENT_USER, L"Software\\Classes\\", text);
    if (perUser && SUCCEEDED(CLSIDFromProgID(kProgId, &clsid))) return true;
    const bool machine = writeClass(HKEY_CLASSES_ROOT, L"", text);
    const HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
    if (SUCCEEDED(hr)) return true;
    error = std::string("cannot register Orba2.Application (") + (perUser ? "" : "per-user keys not written, ") +
            (machine ? "" : "machine keys not written, ") + "CLSIDFromProgID answers " + std::to_string(long(hr)) + ")";
    return false;
}

}  // namespace standin
