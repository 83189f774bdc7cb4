// The replay tool's log readers (format detection, Cabrillo, ADIF) on arbitrary text.
// Besides no crash: a strict read gives a prefix of the lenient read's QSOs and stops
// only at an issue; every QSO and issue names a line of the text; every QSO read has a
// call and a valid date and time; QSO lines come in file order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "logs/log.h"

namespace {

[[noreturn]] void broken(const char* what, int line) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s (line %d)\n", what, line);
    std::abort();
}

// Lines as the readers count them: CR LF, CR and LF each end one.
int lineCount(std::string_view text) {
    int lines = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n') ++lines;
    }
    return lines;
}

void read(std::string_view text, replay::LogFormat format, bool strict, replay::LogData& out) {
    if (format == replay::LogFormat::adif)
        replay::parseAdif(text, strict, out);
    else
        replay::parseCabrillo(text, strict, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const replay::LogFormat detected = replay::detectFormat(text);
    const int lines = lineCount(text);
    for (const replay::LogFormat format : {replay::LogFormat::cabrillo, replay::LogFormat::adif}) {
        replay::LogData lax, strict;
        read(text, format, false, lax);
        read(text, format, true, strict);
        if (strict.qsos.size() > lax.qsos.size()) broken("strict read more QSOs", 0);
        for (size_t i = 0; i < strict.qsos.size(); ++i)
            if (strict.qsos[i].line != lax.qsos[i].line || strict.qsos[i].call != lax.qsos[i].call)
                broken("strict read other QSOs", strict.qsos[i].line);
        if (strict.stopped && strict.issues.empty()) broken("stopped without an issue", 0);
        if (!strict.stopped && strict.qsos.size() != lax.qsos.size()) broken("strict read fewer without stopping", 0);
        int previous = 0;
        for (const replay::Qso& q : lax.qsos) {
            if (q.line < 1 || q.line > lines) broken("QSO on a line the text does not have", q.line);
            if (format == replay::LogFormat::cabrillo && q.line <= previous) broken("QSOs out of file order", q.line);
            previous = q.line;
            if (q.call.empty()) broken("QSO without a call", q.line);
            if (!replay::isValidTimestamp(q.time)) broken("QSO with an invalid date or time", q.line);
        }
        for (const replay::LogIssue& issue : lax.issues)
            if (issue.line < 0 || issue.line > lines) broken("issue on a line the text does not have", issue.line);
    }
    (void)detected;
    return 0;
}
