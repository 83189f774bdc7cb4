// Declarations of the exported functions, with their full parameter lists. Each is
// exported under its plain name too (CheckCall0, GetExchgCount0 and IsValidExchg0 for
// the three whose names differ); the list of both names is in exports.list.
#pragma once
#include "contest/datetime.h"

#if defined(_WIN32)
#define STATS_EXPORT
#else
#define STATS_EXPORT __attribute__((visibility("default")))
#endif

STATS_EXPORT int GetNumberOfSets();
STATS_EXPORT const char* GetSetName(int set);
STATS_EXPORT void SetupSet0();
STATS_EXPORT int ResetStats0(const char*, int, const char*, const OleDateTime*, const OleDateTime*, const char*,
                             const char*, const char*, const char*, const char*, const char*, const char*, const char*,
                             const char*, const char*, int, int, int, double, double, const char*, const char*,
                             const char*);
STATS_EXPORT int AddData0(const char*, const char*, const OleDateTime*, const OleDateTime*, const OleDateTime*,
                          const OleDateTime*, unsigned, unsigned, const char*, const char*, const char*, const char*,
                          const char*, const char*, const char*, const char*, const char*, const char*, const char*,
                          const char*, const char*, const char*, const char*, int, int, int, double, double,
                          const char*, const char*, const char*, const char*, const char*);
STATS_EXPORT int RemoveData0(const char*, const char*, const OleDateTime*, const OleDateTime*, const OleDateTime*,
                             const OleDateTime*, unsigned, unsigned, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*, const char*, int, int, int, double, double,
                             const char*, const char*, const char*, const char*, const char*);
STATS_EXPORT unsigned long setVersion(const char*);
STATS_EXPORT const char* GetResult0(int*);
STATS_EXPORT int CheckCallFunc0(const char*, unsigned, unsigned, const char*, const char*, const char*, const char*,
                                const char*, const char*, const char*, const char*, const char*, const char*,
                                const char*, int, int, int, double, double, const char*, const char*, const char*,
                                const char*, const char*, const char*, const char*, char*, char*);
STATS_EXPORT int StatsGetExchgCount0(const char*, const char*, const char*);
STATS_EXPORT int StatsIsValidExchg0(const char*, const char*, const char*, const char*, int, int, int);
