// The plug events the -sim program takes from VORLA_SIM_EVENTS, and the
// switches that make the wheel forget stores or keep them again.

#include "sim/SimWheel.h"

#include <sstream>

namespace sim {

namespace {

// "250ms" or "3s" (or "3.5s"), up to a day; false when it is neither.
bool parseDuration(const std::string &text, std::chrono::milliseconds &duration)
{
    // Longer would overflow the clock's arithmetic at "1e300s" (and "nans"
    // is no number at all).
    constexpr double kLongestMs = 24 * 3600 * 1000.0;
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (...) {
        return false;
    }
    const std::string unit = text.substr(used);
    if (unit != "s" && unit != "ms")
        return false;
    const double ms = unit == "s" ? value * 1000 : value;
    if (!(ms >= 0 && ms <= kLongestMs))
        return false;
    duration = std::chrono::milliseconds(static_cast<long long>(ms));
    return true;
}

} // namespace

std::string runEventScript(const std::string &script)
{
    struct Step {
        PlugEvent event;
        std::chrono::milliseconds after{0};
        int report = 0;
        std::chrono::milliseconds back{-1};
    };
    std::vector<Step> steps;
    std::istringstream words(script);
    std::string word;
    while (words >> word) {
        const std::size_t at = word.find('@');
        if (at == std::string::npos)
            return "'" + word + "': expected EVENT@WHEN";
        const std::string name = word.substr(0, at), when = word.substr(at + 1);
        Step step{};
        if (name == "unplug")
            step.event = PlugEvent::Unplug;
        else if (name == "plug")
            step.event = PlugEvent::Plug;
        else if (name == "deny")
            step.event = PlugEvent::Deny;
        else if (name == "allow")
            step.event = PlugEvent::Allow;
        else if (name == "forget-store")
            step.event = PlugEvent::ForgetStores;
        else if (name == "keep-store")
            step.event = PlugEvent::KeepStores;
        else
            return "'" + word + "': unknown event '" + name + "' (unplug, plug, deny, allow, forget-store, keep-store)";
        if (when.rfind("report", 0) == 0 && step.event == PlugEvent::Unplug) {
            // unplug@reportN or unplug@reportN+DURATION (plugged back after it)
            const std::size_t plus = when.find('+');
            const std::string number = when.substr(6, plus == std::string::npos ? std::string::npos : plus - 6);
            std::size_t used = 0;
            try {
                step.report = std::stoi(number, &used);
            } catch (...) {
                step.report = 0;
            }
            if (used != number.size()) // "report4x" is a mistake, not report 4
                step.report = 0;
            if (step.report < 1 || (plus != std::string::npos && !parseDuration(when.substr(plus + 1), step.back)))
                return "'" + word + "': expected unplug@reportN or unplug@reportN+DURATION";
        } else if (!parseDuration(when, step.after)) {
            return "'" + word + "': '" + when + "' is no time like 500ms or 3s";
        }
        steps.push_back(step);
    }
    // Nothing is scheduled from a script with a mistake in it.
    for (const Step &step : steps) {
        if (step.report > 0)
            vanishAtReport(step.report, step.back);
        else
            schedule(step.after, step.event);
    }
    return std::string();
}

} // namespace sim
