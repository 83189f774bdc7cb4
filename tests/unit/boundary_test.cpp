// The built library as the host sees it: both names of every export, and hostile
// arguments (null texts, null date-times, null result pointer, huge texts).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "export_guard.h"
#include "exports.h"
#include "fake_platform.h"

namespace {

struct Library {
    void* handle = dlopen(STATS_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ~Library() {
        if (handle) dlclose(handle);
    }
    template <typename F>
    F bind(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
};

const Library& library() {
    static Library lib;
    return lib;
}

std::vector<std::pair<std::string, std::string>> exportList() {
    std::ifstream in(std::string(GOLDEN_DIR) + "/../../stats/exports.list");
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string plain, decorated;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        ss >> plain >> decorated;
        pairs.emplace_back(plain, decorated);
    }
    return pairs;
}

}  // namespace

TEST(Boundary, EveryExportUnderBothNames) {
    ASSERT_NE(library().handle, nullptr) << dlerror();
    const auto pairs = exportList();
    ASSERT_EQ(pairs.size(), 11u);
    for (const auto& [plain, decorated] : pairs) {
        void* a = dlsym(library().handle, plain.c_str());
        void* b = dlsym(library().handle, decorated.c_str());
        EXPECT_NE(a, nullptr) << plain;
        EXPECT_EQ(a, b) << plain << " and " << decorated << " must be the same function";
    }
}

using BoundaryNulls = InTempFolder;

TEST_F(BoundaryNulls, NullArgumentsAreEmptyTextsAndNullDateTimes) {
    const auto& lib = library();
    ASSERT_NE(lib.handle, nullptr);
    auto getSetName = lib.bind<decltype(&GetSetName)>("GetSetName");
    EXPECT_STREQ(getSetName(0), "TALVEN-CUP");
    EXPECT_STREQ(getSetName(1), "");
    EXPECT_STREQ(getSetName(-1), "");
    EXPECT_EQ(lib.bind<decltype(&GetNumberOfSets)>("GetNumberOfSets")(), 1);

    auto reset = lib.bind<decltype(&ResetStats0)>("ResetStats0");
    auto add = lib.bind<decltype(&AddData0)>("AddData0");
    auto remove = lib.bind<decltype(&RemoveData0)>("RemoveData0");
    auto result = lib.bind<decltype(&GetResult0)>("GetResult0");
    auto check = lib.bind<decltype(&CheckCallFunc0)>("CheckCall0");
    auto valid = lib.bind<decltype(&StatsIsValidExchg0)>("IsValidExchg0");
    auto count = lib.bind<decltype(&StatsGetExchgCount0)>("GetExchgCount0");

    const char* n = nullptr;
    EXPECT_EQ(reset(n, 0, n, nullptr, nullptr, n, n, n, n, n, n, n, n, n, n, 0, 0, 0, 0, 0, n, n, n), 1);
    EXPECT_TRUE(fileExists("BadQSO_StatsTALVENCP_.txt"));
    EXPECT_EQ(add(n, n, nullptr, nullptr, nullptr, nullptr, 0, 0, n, n, n, n, n, n, n, n, n, n, n, n, n, n, n, 0, 0, 0,
                  0, 0, n, n, n, n, n),
              0);
    EXPECT_EQ(remove(n, n, nullptr, nullptr, nullptr, nullptr, 0, 0, n, n, n, n, n, n, n, n, n, n, n, n, n, n, n, 0, 0,
                     0, 0, 0, n, n, n, n, n),
              1);
    EXPECT_NE(result(nullptr), nullptr);
    int out = 5;
    EXPECT_NE(std::string(result(&out)).find("Total"), std::string::npos);
    EXPECT_EQ(out, -1);
    char warning[100] = "unchanged";
    EXPECT_EQ(check(n, 0, 0, n, n, n, n, n, n, n, n, n, n, n, 0, 0, 0, 0, 0, n, n, n, n, n, n, n, nullptr, warning), 4);
    EXPECT_STREQ(warning, "unchanged");
    EXPECT_EQ(valid(n, n, n, n, 0, 0, 0), 0);
    EXPECT_EQ(count(n, n, n), 1);
}

TEST_F(BoundaryNulls, HostBuffersGetAtMost99Characters) {
    const auto& lib = library();
    ASSERT_NE(lib.handle, nullptr);
    auto reset = lib.bind<decltype(&ResetStats0)>("ResetStats0");
    auto add = lib.bind<decltype(&AddData0)>("AddData0");
    auto check = lib.bind<decltype(&CheckCallFunc0)>("CheckCall0");
    const char* e = "";
    // The library asks the system clock: put the QSOs a minute ago.
    const double now = 25569.0 + static_cast<double>(std::time(nullptr)) / 86400.0;
    const OleDateTime start{now - 1, 0}, end{now + 1, 0}, t1{now - 2.0 / 1440, 0}, t2{now - 1.0 / 1440, 0};
    reset("", 0, "UT1AA", &start, &end, e, e, e, e, e, e, e, e, e, "UR", 0, 0, 0, 0, 0, e, "EU", e);
    EXPECT_EQ(add("UT1AA", "W1AW", &t1, nullptr, nullptr, nullptr, 0, 7040000, "RTTY", "599", "599", "KV", "001", e, e,
                  e, e, e, e, e, e, e, "K", 0, 0, 0, 0, 0, e, "NA", e, "40m", e),
              1);
    EXPECT_EQ(add("UT1AA", "W1AX", &t2, nullptr, nullptr, nullptr, 0, 14080000, "RTTY", "599", "599", "KV", "001", e, e,
                  e, e, e, e, e, e, e, "K", 0, 0, 0, 0, 0, e, "NA", e, "20m", e),
              1);
    // Back to 40 m right after the band change: the warning names the call, whatever its length.
    const std::string longCall(5000, 'W');
    char warning[101];
    std::memset(warning, 'x', sizeof warning);
    warning[100] = '\0';
    const int r = check(longCall.c_str(), 0, 0, "RTTY", e, e, e, e, e, e, e, e, e, "JA", 0, 0, 0, 0, 0, e, e, e, e, e,
                        "40m", nullptr, nullptr, warning);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(std::strlen(warning), 99u);
    EXPECT_EQ(std::string(warning, 26), "QSO c WWWWWWWWWWWWWWWWWWWW");
    EXPECT_EQ(warning[100], '\0');
}

TEST(ExportGuard, AFailureGivesTheNeutralResultAndIsRecorded) {
    RecordingDiagnostics diagnostics;
    EXPECT_EQ(guarded(diagnostics, "AddData0", 0, []() -> int { throw std::runtime_error("disk on fire"); }), 0);
    EXPECT_STREQ(guarded(diagnostics, "GetResult0", "", []() -> const char* { throw 42; }), "");
    EXPECT_EQ(guarded(diagnostics, "ResetStats0", 1, [] { return 1; }), 1);
    EXPECT_EQ(diagnostics.faults,
              (std::vector<std::string>{"AddData0: disk on fire", "GetResult0: unknown exception"}));
}
