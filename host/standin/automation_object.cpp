#include "standin/automation_object.h"

#include <utility>

#include "standin/protocol.h"
#include "whole_file.h"

namespace standin {

namespace {

struct Member {
    const wchar_t* name;
    DISPID id;
};
const Member kMembers[] = {
    {L"Frequency", kDispFrequency},
    {L"Mode", kDispMode},
    {L"GetEntryField", kDispGetEntryField},
    {L"ExecuteMacros", kDispExecuteMacros},
};

// The argument at `position` (0 the first) converted to `type`.
HRESULT argument(const DISPPARAMS& parameters, UINT position, VARTYPE type, win32::Variant& out, UINT* badArgument) {
    // Arguments arrive last first.
    const UINT slot = parameters.cArgs - 1 - position;
    const HRESULT hr = VariantChangeType(out.put(), &parameters.rgvarg[slot], 0, type);
    if (FAILED(hr) && badArgument) *badArgument = slot;
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT raise(EXCEPINFO* exception) {
    if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"Orba2.Application (stand-in host)");
        exception->bstrDescription = SysAllocString(L"The stand-in host was told to fail this call");
        exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

HRESULT setText(VARIANT* result, const std::wstring& text) {
    if (!result) return S_OK;
    BSTR s = SysAllocStringLen(text.data(), UINT(text.size()));
    if (!s) return E_OUTOFMEMORY;
    VariantInit(result);
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = s;
    return S_OK;
}

}  // namespace

std::wstring HostState::field(int32_t index) const {
    const auto it = fields.find(index);
    return it == fields.end() ? std::wstring() : it->second;
}

std::wstring wideFromCp1251(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int n = MultiByteToWideChar(1251, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(1251, 0, bytes.data(), int(bytes.size()), &out[0], n);
    return out;
}

std::string cp1251FromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(1251, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(1251, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool MacroRecord::open(const std::wstring& path, std::string& error) {
    count_ = 0;
    last_.clear();
    file_.reset();
    if (path.empty()) return true;
    // A record that grows line by line while readers watch it: not written whole, but
    // never through a link, into a device or over a folder planted at its name.
    std::string why;
    if (!mayWrite(std::filesystem::path(path), why)) {
        error = "cannot create the macro record '" + cp1251FromWide(path) + "': " + why;
        return false;
    }
    // Readers may open it at any time; each line is written whole with one call.
    file_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        error = "cannot create the macro record '" + cp1251FromWide(path) + "' (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

void MacroRecord::add(const std::wstring& macro) {
    ++count_;
    last_ = macro;
    if (!file_) return;
    const std::string line = escapeField(cp1251FromWide(macro)) + "\n";
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), DWORD(line.size()), &written, nullptr);
}

HRESULT AutomationObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG AutomationObject::AddRef() { return ++references_; }

ULONG AutomationObject::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return E_INVALIDARG;
    for (const Member& m : kMembers) {
        if (names[0] && CompareStringOrdinal(names[0], -1, m.name, -1, TRUE) == CSTR_EQUAL) {
            ids[0] = m.id;
            // None of the members has named parameters.
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                 EXCEPINFO* exception, UINT* badArgument) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!parameters) return E_INVALIDARG;
    if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    try {
        return invokeChecked(id, flags, *parameters, result, exception, badArgument);
    } catch (...) {
        // Out of memory for a text: nothing may leave a COM method.
        return E_OUTOFMEMORY;
    }
}

HRESULT AutomationObject::invokeChecked(DISPID id, WORD flags, DISPPARAMS& parameters, VARIANT* result,
                                        EXCEPINFO* exception, UINT* badArgument) {
    // Callers that bind late ask for properties and methods alike with both flags.
    const bool read = (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
    const bool call = (flags & DISPATCH_METHOD) != 0;
    if (result) VariantInit(result);
    switch (id) {
        case kDispExecuteMacros: {
            if (!call) return DISP_E_MEMBERNOTFOUND;
            if (parameters.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            win32::Variant macro;
            if (HRESULT hr = argument(parameters, 0, VT_BSTR, macro, badArgument); FAILED(hr)) return hr;
            if (state.fault == Fault::error) return raise(exception);
            const BSTR text = V_BSTR(macro.get());
            record.add(text ? std::wstring(text, SysStringLen(text)) : std::wstring());
            // Taken first: what it runs may lead to more macros.
            if (const std::function<void()> handler = std::exchange(macroHandler, nullptr)) handler();
            changed_();
            return S_OK;
        }
        case kDispMode:
        case kDispFrequency: {
            if (!read) return DISP_E_MEMBERNOTFOUND;
            if (parameters.cArgs != 0) return DISP_E_BADPARAMCOUNT;
            if (state.fault == Fault::error) return raise(exception);
            const bool wrong = state.fault == Fault::wrongType;
            if (id == kDispMode) {
                if (!wrong) return setText(result, state.mode);
                if (result) {
                    V_VT(result) = VT_I4;
                    V_I4(result) = 7;
                }
                return S_OK;
            }
            if (wrong) return setText(result, L"14 MHz");
            if (result) {
                V_VT(result) = VT_R8;
                V_R8(result) = state.frequencyHz;
            }
            return S_OK;
        }
        case kDispGetEntryField: {
            if (!read) return DISP_E_MEMBERNOTFOUND;
            if (parameters.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            win32::Variant index;
            if (HRESULT hr = argument(parameters, 0, VT_I4, index, badArgument); FAILED(hr)) return hr;
            if (state.fault == Fault::error) return raise(exception);
            if (state.fault == Fault::wrongType) {
                if (result) {
                    V_VT(result) = VT_R8;
                    V_R8(result) = 1.5;
                }
                return S_OK;
            }
            return setText(result, state.field(V_I4(index.get())));
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace standin
