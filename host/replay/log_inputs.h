// The logs of a cross-check as the command line names them: a log file, a folder (every
// *.log, *.cbr, *.adi and *.adif in it, by name), or @LIST, a file naming one log a line
// (blank lines and lines starting with '#' left out; a relative path is meant from the
// list's folder), as a contest's log checker keeps the logs received.
#pragma once
#include <string>
#include <vector>

namespace replay {

// The paths the arguments stand for, in their order. False with a reason when a folder
// or a list cannot be read or names no log.
bool expandLogInputs(const std::vector<std::string>& args, std::vector<std::string>& logs, std::string& error);

}  // namespace replay
