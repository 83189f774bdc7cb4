// The stand-in host's calls of the plug-in, one control-channel command each, made on
// the thread that runs the command (the host's main thread, as the real host does):
//
//   load PATH                                     load the plug-in library
//   version TEXT                                  setVersion            -> ok NUMBER
//   reset CALL PREFIX CONTINENT START END [EXPORT [FOLDER]]
//                                                 ResetStats0           -> ok NUMBER
//   add PREFIX CONTINENT QSO: <Cabrillo QSO line> AddData0              -> ok NUMBER
//   remove PREFIX CONTINENT QSO: <...>            RemoveData0           -> ok NUMBER
//   check CALL BAND MODE PREFIX [AREA]            CheckCall0            -> ok ANSWER HINT WARNING
//   result                                        GetResult0            -> ok CODE TEXT
//   unload                                        unload the plug-in
//
// START and END are date-times such as 2017-12-16T1200; EXPORT is 0 or 1 (default 0);
// FOLDER, the host's folder, is the rest of the line and may hold spaces (default empty).
// PREFIX and CONTINENT are the worked station's (the own station's for reset).
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "standin/protocol.h"

namespace replay {
class StatsPlugin;
}

namespace standin {

class PluginDriver {
public:
    PluginDriver();
    ~PluginDriver();
    PluginDriver(const PluginDriver&) = delete;
    PluginDriver& operator=(const PluginDriver&) = delete;

    static bool handles(std::string_view verb);
    // The reply line. Never throws.
    std::string run(const Request& request) noexcept;

    bool loaded() const;
    const std::string& path() const { return path_; }
    void unload();

private:
    std::string runChecked(const Request& request);

    // Held apart: the plug-in's own headers use the same file names as the host's.
    std::unique_ptr<replay::StatsPlugin> plugin_;
    std::string path_;
};

}  // namespace standin
