// The stand-in host's automation object "Orba2.Application": the four members the plug-in
// and modepad use, by dispatch id and by name, answering from a state that the stand-in's
// command line and control channel set. Each ExecuteMacros call is appended to a record
// file at once, so a test reads it while the host runs.
//
// Created, published and called on the stand-in's main thread (calls from other threads
// and processes arrive there through COM); not for use from any other thread.
#pragma once
#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "win32_owners.h"

namespace standin {

enum class Fault {
    none,
    error,      // every call fails, as a host that raises an error
    wrongType,  // Mode, Frequency and GetEntryField answer with a value of another type
};

struct HostState {
    std::wstring mode = L"RTTY";
    double frequencyHz = 14080000.0;
    std::map<int32_t, std::wstring> fields;  // entry fields by number; 5 holds the typed call
    Fault fault = Fault::none;

    std::wstring field(int32_t index) const;
};

// ExecuteMacros calls in order: one line each, the macro's code page 1251 bytes with
// line-breaking characters escaped as the control channel escapes them.
class MacroRecord {
public:
    // Starts an empty record file; an empty path records in memory only.
    bool open(const std::wstring& path, std::string& error);
    void add(const std::wstring& macro);
    size_t count() const { return count_; }
    const std::wstring& last() const { return last_; }

private:
    win32::FileHandle file_;
    size_t count_ = 0;
    std::wstring last_;
};

// The members' dispatch ids, as the host has them.
enum : DISPID { kDispFrequency = 2, kDispMode = 7, kDispGetEntryField = 8, kDispExecuteMacros = 16 };

class AutomationObject final : public IDispatch {
public:
    // `changed` runs after every call that changed what the host shows.
    explicit AutomationObject(std::function<void()> changed) : changed_(std::move(changed)) {}

    HostState state;
    MacroRecord record;
    // Runs once, inside the next ExecuteMacros call after the macro is recorded, as the
    // host's macro handler does; it may call the plug-in back.
    std::function<void()> macroHandler;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch, without type information
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

private:
    ~AutomationObject() = default;
    HRESULT invokeChecked(DISPID id, WORD flags, DISPPARAMS& parameters, VARIANT* result, EXCEPINFO* exception,
                          UINT* badArgument);

    std::atomic<ULONG> references_{1};
    std::function<void()> changed_;
};

// Text between the plug-in's code page 1251 bytes and UTF-16.
std::wstring wideFromCp1251(const std::string& bytes);
std::string cp1251FromWide(const std::wstring& text);

}  // namespace standin
