// talven-replay: drives the Stats plug-in through its exports the way the logger does,
// from a Cabrillo or ADIF log. See --help.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "ascii_text.h"
#include "plugin/interrupt.h"
#include "replay/options.h"
#include "replay/replay.h"

#ifndef REPLAY_BUILD_TREE_PLUGIN
#define REPLAY_BUILD_TREE_PLUGIN ""
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Line ends are made CR LF by the tool itself; a log on standard input keeps its bytes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    replay::Options options;
    std::string error;
    switch (replay::parseCommandLine(args, options, error)) {
        case replay::CommandLine::help:
            std::cout << consoleLineEnds(replay::usageText());
            return replay::exitClean;
        case replay::CommandLine::version:
            std::cout << consoleLineEnds(std::string("talven-replay ") + replay::kProjectVersion + "\n");
            return replay::exitClean;
        case replay::CommandLine::error:
            std::cerr << "talven-replay: " << error << "\n(talven-replay --help lists the options)\n";
            return replay::exitUsage;
        case replay::CommandLine::run:
            break;
    }
    replay::handleInterrupts();
    try {
        return replay::runReplay(options, REPLAY_BUILD_TREE_PLUGIN, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "talven-replay: " << e.what() << "\n";
        return replay::exitUnusable;
    }
}
