// The host's running automation object "Orba2.Application", as the plug-in uses it: bound
// to the instance already running (the host is never started), its four members invoked
// by dispatch id. Texts cross as code page 1251 bytes both ways.
//
// Every call answers with a result the caller has to look at: nothing is thrown, and a
// host that is missing, gone or answering strangely is an ordinary outcome. Bind, call
// and destroy on one thread: the binding belongs to that thread's COM apartment, which
// bind() enters and the destructor (or unbind) leaves.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "win32_owners.h"

namespace automation {

enum class HostStatus {
    ok,
    notBound,    // no binding: no host ran when bind() was called, or bind() never was
    callFailed,  // the host answered with an error, or could not be reached any more
    wrongType,   // the host answered with a value of another type than the member's
};

struct [[nodiscard]] HostCall {
    HostStatus status = HostStatus::ok;
    // notBound, callFailed: the HRESULT behind it; wrongType: the VARTYPE received.
    long code = 0;
    bool ok() const noexcept { return status == HostStatus::ok; }
};

template <typename T>
struct [[nodiscard]] HostValue {
    HostCall call;
    T value{};
    bool ok() const noexcept { return call.ok(); }
};

// "not bound (0x800401E3)", "call failed (0x80020009)", "wrong result type (VT 3)", "ok".
std::string describe(const HostCall& call);

// The members and their dispatch ids.
enum class HostMember : DISPID { frequency = 2, mode = 7, getEntryField = 8, executeMacros = 16 };
// The entry field that holds the call sign being typed.
constexpr int32_t kCallEntryField = 5;

class HostObject {
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    ~HostObject() { unbind(); }

    // Binds to the running host: the class of "Orba2.Application", COM on this thread,
    // the object from the running-object table, its IDispatch. A binding held before is
    // dropped first. notBound when there is no running host.
    HostCall bind() noexcept;
    // Drops the binding and leaves COM on this thread.
    void unbind() noexcept;
    bool bound() const noexcept { return bool(host_); }

    // Runs a macro in the host ("<MODE:RTTY>", "<SP1>", ...).
    HostCall executeMacros(std::string_view macro) noexcept;
    // The name of the host's current mode ("RTTY", "BPSK63", ...).
    HostValue<std::string> mode() noexcept;
    // The dial frequency in hertz.
    HostValue<double> frequency() noexcept;
    // The text of one of the host's entry fields; kCallEntryField: the typed call.
    HostValue<std::string> entryField(int32_t index) noexcept;

private:
    HostCall invoke(HostMember member, WORD flags, VARIANT* argument, VARIANT* result) noexcept;

    std::optional<win32::ComInit> com_;  // declared first: left last
    win32::ComPtr<IDispatch> host_;
};

// How a member's result becomes a value; public for the tests.
// Text: a string (by reference too); an empty or null result is the empty text.
HostStatus textFromResult(const VARIANT& result, std::string& text) noexcept;
// Number: any numeric type; nothing else, not even a string of digits.
HostStatus numberFromResult(const VARIANT& result, double& number) noexcept;

}  // namespace automation
