#include "fake_platform.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

void InTempFolder::SetUp() {
    char cwd[4096];
    previous_ = getcwd(cwd, sizeof cwd) ? cwd : ".";
    char templ[] = "/tmp/talven-test-XXXXXX";
    folder_ = mkdtemp(templ);
    ASSERT_EQ(chdir(folder_.c_str()), 0);
}

void InTempFolder::TearDown() {
    ASSERT_EQ(chdir(previous_.c_str()), 0);
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::string InTempFolder::readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool InTempFolder::fileExists(const std::string& name) { return std::filesystem::exists(name); }

bool InTempFolder::temporaryFilesIn(const std::string& folder) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.path().extension() == ".tmp") return true;
    return false;
}

PluginTest::PluginTest() : plugin(std::make_unique<Plugin>(platform)) {}

DateTime at(const std::string& hhmm, int day) {
    const int h = std::stoi(hhmm.substr(0, 2));
    const int m = std::stoi(hhmm.substr(2, 2));
    const int s = hhmm.size() >= 6 ? std::stoi(hhmm.substr(4, 2)) : 0;
    return DateTime::fromCalendar(2017, 12, day, h, m, s);
}

void PluginTest::reset(const std::string& ownCall, const std::string& ownPrefix, const std::string& ownContinent,
                       int exportRequested) {
    ResetArgs a = contestReset();
    a.hostFolder = "host/";
    a.exportRequested = exportRequested;
    a.ownCall = ownCall;
    a.ownPrefix = ownPrefix;
    a.ownContinent = ownContinent;
    plugin->resetStats(a);
}

QsoArgs PluginTest::qso(const std::string& call, const std::string& band, const std::string& mode,
                        const std::string& hhmm, const std::string& exchange, const std::string& prefix,
                        const std::string& continent) {
    QsoArgs q;
    q.ownCall = "OK1XYZ";
    q.call = call;
    q.time = at(hhmm);
    static const std::map<std::string, unsigned> freq = {{"160m", 1838000}, {"80m", 3580000},  {"40m", 7040000},
                                                         {"20m", 14080000}, {"15m", 21080000}, {"10m", 28080000}};
    auto it = freq.find(band);
    q.frequencyHz = it == freq.end() ? 14080000 : it->second;
    q.mode = mode;
    q.rstSent = "599";
    q.rstReceived = "599";
    q.exchangeSent = "001";
    q.exchangeReceived = exchange;
    q.prefix = prefix;
    q.continent = continent;
    q.band = band;
    return q;
}

FullDisk::FullDisk(unsigned long bytes) {
    // The signal a write past the limit raises is ignored: the write then fails with EFBIG.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    previous_ = r.rlim_cur;
    r.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &r);
}

FullDisk::~FullDisk() {
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = previous_;
    setrlimit(RLIMIT_FSIZE, &r);
    std::signal(SIGXFSZ, previousHandler_);
}
