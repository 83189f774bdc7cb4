// The long export calls made the way the host makes them, for the tests of how their
// arguments arrive. The parameter lists are written out here from the host's side, not
// taken from exports.h, and every position carries a value of its own: in a 32-bit
// build all of them travel on the stack, so a parameter declared with the wrong type or
// read from the wrong position gives a wrong answer the checks see. The date-times are
// 16-byte blocks laid out as the host (an MSVC program) lays them out, with filler in
// the padding.
//
// The checks run in the current folder (the plug-in writes its report there), which
// should be empty; each starts with a reset of its own. Every function returns the
// failed checks, empty when all held, so that GoogleTest and the Windows test programs
// can report them alike.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace hostcalls {

#if defined(_WIN32) && !defined(_WIN64)
#define HOST_CDECL __cdecl
#else
#define HOST_CDECL
#endif

using cstr = const char*;
using date = const void*;  // the host's date-time, see HostDate

typedef int(HOST_CDECL* ResetStats0Fn)(cstr, int, cstr, date, date, cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr,
                                       cstr, cstr, int, int, int, double, double, cstr, cstr, cstr);
typedef int(HOST_CDECL* QsoFn)(cstr, cstr, date, date, date, date, unsigned, unsigned, cstr, cstr, cstr, cstr, cstr,
                               cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr, int, int, int, double,
                               double, cstr, cstr, cstr, cstr, cstr);
typedef int(HOST_CDECL* CheckCall0Fn)(cstr, unsigned, unsigned, cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr,
                                      cstr, cstr, int, int, int, double, double, cstr, cstr, cstr, cstr, cstr, cstr,
                                      cstr, char*, char*);
typedef cstr(HOST_CDECL* GetResult0Fn)(int*);

// The exports under test, bound however the caller binds them.
struct Exports {
    ResetStats0Fn resetStats = nullptr;
    QsoFn addData = nullptr;
    QsoFn removeData = nullptr;
    CheckCall0Fn checkCall = nullptr;
    GetResult0Fn getResult = nullptr;
};

// A date-time in the host's memory layout: the day count (double) at offset 0, the
// status (32 bits: 0 valid, 1 invalid, 2 null) at offset 8, then 4 bytes of padding.
struct HostDate {
    alignas(8) unsigned char bytes[16];
    HostDate(double days, int32_t status);
};

using Failures = std::vector<std::string>;

// ResetStats0: host folder, export flag, own call, start, end, own prefix and continent.
Failures resetArguments(const Exports& e);
// AddData0: the QSO's fields, seen in the bad-QSO report and in the score.
Failures addDataArguments(const Exports& e);
// RemoveData0: call, time, mode and band find the QSO to take out.
Failures removeDataArguments(const Exports& e);
// CheckCall0: call, mode, station text, prefix, area, both bands and both buffers.
Failures checkCallArguments(const Exports& e);

}  // namespace hostcalls
