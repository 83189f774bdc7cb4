// The exports linked into this program, called through pointers of the host's types
// with a value of its own in every position (see host_calls.h). In the 32-bit build
// every argument travels on the stack.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "exports.h"
#include "host_calls.h"

namespace {

// The casts are the point: the host knows the exports only by its own declarations.
hostcalls::Exports linkedExports() {
    hostcalls::Exports e;
    e.resetStats = reinterpret_cast<hostcalls::ResetStats0Fn>(&ResetStats0);
    e.addData = reinterpret_cast<hostcalls::QsoFn>(&AddData0);
    e.removeData = reinterpret_cast<hostcalls::QsoFn>(&RemoveData0);
    e.checkCall = reinterpret_cast<hostcalls::CheckCall0Fn>(&CheckCallFunc0);
    e.getResult = reinterpret_cast<hostcalls::GetResult0Fn>(&GetResult0);
    return e;
}

// Each test in a fresh folder: the plug-in writes its report into the current one.
class HostCalls : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/talven-host-calls-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    static void expectNoFailures(const hostcalls::Failures& failures) {
        for (const std::string& f : failures) ADD_FAILURE() << f;
    }

private:
    std::filesystem::path previous_, folder_;
};

}  // namespace

TEST_F(HostCalls, ResetStats0ReadsItsSevenArguments) { expectNoFailures(hostcalls::resetArguments(linkedExports())); }

TEST_F(HostCalls, AddData0ReadsTheQsoFields) { expectNoFailures(hostcalls::addDataArguments(linkedExports())); }

TEST_F(HostCalls, RemoveData0FindsTheQso) { expectNoFailures(hostcalls::removeDataArguments(linkedExports())); }

TEST_F(HostCalls, CheckCall0ReadsItsArgumentsAndFillsTheRightBuffer) {
    expectNoFailures(hostcalls::checkCallArguments(linkedExports()));
}
