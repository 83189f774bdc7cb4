// Compile-time checks of the data the host hands over by pointer. The host's date-time
// is its own struct (a double day count, then a 32-bit status); the plug-in reads both
// fields through the host's pointer, so they must sit where the host puts them.
#include <cstddef>

#include "contest/datetime.h"

static_assert(offsetof(OleDateTime, dt) == 0, "the day count comes first");
static_assert(offsetof(OleDateTime, status) == 8, "the status follows the 8-byte day count");

#if defined(_WIN32)
// The host is an MSVC program: there a double aligns the struct to 8 bytes, which makes
// it 16 bytes long with padding after the status. mingw lays it out the same way in
// both 32 and 64 bits; a change here would mean a different struct from the host's.
static_assert(sizeof(OleDateTime) == 16 && alignof(OleDateTime) == 8, "the host's date-time is 16 bytes");
#endif
// (32-bit Linux aligns a double inside a struct to 4 bytes, so there the struct is 12
// bytes long. Only this project's own Linux programs pass it there, built with the same
// rules, and the plug-in never steps through an array of them: the offsets above are
// what matters.)
