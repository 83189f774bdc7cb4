// Never an input as an output: the files a run reads and the files it writes, checked
// against each other before anything is read into the plug-in or written. Every output
// of the tool joins one list, so a new kind of output is checked by adding it there.
#pragma once
#include <string>
#include <vector>

namespace replay {

// A file by what it is to the user ("the log", "the analysis page") and its path as given.
struct NamedFile {
    std::string what;
    std::string path;
};

struct RunFiles {
    std::vector<NamedFile> inputs;   // logs, country file, call list, plug-in
    std::vector<NamedFile> outputs;  // the page, the plug-in's files in the output folder
    std::string page;                // the analysis page: absent, or a page this tool wrote
};

// Empty when the run may go on; else one line naming the output and why it is refused:
// the same file as an input (same device and inode, whatever the names), the same file
// as another output, or a page path naming a file that is not a page of this tool.
std::string refusedOutput(const RunFiles& files);

// Whether the file at path begins as the analysis pages this tool writes.
bool isAnalysisPage(const std::string& path);

}  // namespace replay
