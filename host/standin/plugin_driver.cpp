#include "standin/plugin_driver.h"

#include <exception>

#include "plugin/stats_plugin.h"

namespace standin {

namespace {

const char* const kVerbs[] = {"load", "version", "reset", "add", "remove", "check", "result", "unload"};

bool parseTime(const std::string& text, replay::Timestamp& t, std::string& error) {
    return replay::parseDateTimeText(text, t, error);
}

}  // namespace

PluginDriver::PluginDriver() : plugin_(std::make_unique<replay::StatsPlugin>()) {}

PluginDriver::~PluginDriver() = default;

bool PluginDriver::loaded() const { return plugin_->loaded(); }

bool PluginDriver::handles(std::string_view verb) {
    for (const char* v : kVerbs)
        if (verb == v) return true;
    return false;
}

std::string PluginDriver::run(const Request& request) noexcept {
    try {
        return runChecked(request);
    } catch (const std::exception& e) {
        return errorReply(std::string(request.verb) + ": " + e.what());
    } catch (...) {
        return errorReply("unknown failure");
    }
}

void PluginDriver::unload() {
    plugin_->unload();
    path_.clear();
}

std::string PluginDriver::runChecked(const Request& r) {
    const std::string& verb = r.verb;
    if (verb == "load") {
        const std::string path = r.after(0);
        if (path.empty()) return errorReply("load: give the path of the plug-in");
        if (plugin_->loaded()) return errorReply("load: '" + path_ + "' is loaded; unload it first");
        std::string error;
        if (!plugin_->load(path, error)) return errorReply(error);
        path_ = path;
        return okReply();
    }
    if (!plugin_->loaded()) return errorReply(verb + ": no plug-in is loaded");
    if (verb == "unload") {
        unload();
        return okReply();
    }
    if (verb == "version") {
        if (!plugin_->setVersion) return errorReply("version: the plug-in does not export setVersion");
        return okReply({std::to_string(plugin_->setVersion(r.after(0).c_str()))});
    }
    if (verb == "reset") {
        if (r.words.size() < 5) return errorReply("reset: give CALL PREFIX CONTINENT START END [EXPORT [FOLDER]]");
        replay::Timestamp start, end;
        std::string error;
        if (!parseTime(r.words[3], start, error) || !parseTime(r.words[4], end, error))
            return errorReply("reset: " + error);
        const std::string exportRun = r.word(5);
        if (!exportRun.empty() && exportRun != "0" && exportRun != "1") return errorReply("reset: EXPORT is 0 or 1");
        return okReply({std::to_string(
            plugin_->reset(r.after(6), exportRun == "1", r.word(0), start, end, r.word(1), r.word(2)))});
    }
    if (verb == "add" || verb == "remove") {
        if (verb == "remove" && !plugin_->removeData)
            return errorReply("remove: the plug-in does not export RemoveData0");
        if (r.words.size() < 3) return errorReply(verb + ": give PREFIX CONTINENT QSO: ...");
        replay::Qso qso;
        std::string error;
        if (!replay::parseCabrilloQsoLine(r.after(2), qso, error)) return errorReply(verb + ": " + error);
        const int answer = verb == "add" ? plugin_->addQso(qso, qso.ownCall, r.word(0), r.word(1))
                                         : plugin_->removeQso(qso, qso.ownCall, r.word(0), r.word(1));
        return okReply({std::to_string(answer)});
    }
    if (verb == "check") {
        if (!plugin_->checkCall) return errorReply("check: the plug-in does not export CheckCall0");
        if (r.words.size() < 4) return errorReply("check: give CALL BAND MODE PREFIX [AREA]");
        std::string hint, warning;
        const int answer = plugin_->checkCallSign(r.word(0), r.word(1), r.word(2), r.word(3), r.word(4), hint, warning);
        return okReply({std::to_string(answer), hint, warning});
    }
    if (verb == "result") {
        int code = 0;
        const char* text = plugin_->getResult(&code);
        return okReply({std::to_string(code), text ? std::string(text) : std::string()});
    }
    return errorReply("unknown command '" + verb + "'");
}

}  // namespace standin
