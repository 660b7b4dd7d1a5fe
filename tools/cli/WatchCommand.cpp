#include "Commands.h"

#include "Output.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>

namespace izuzez::cli
{
namespace
{

using namespace services;

const char *EventName(DeviceEvent event)
{
    switch (event)
    {
    case DeviceEvent::Appeared:
        return "appeared";
    case DeviceEvent::Changed:
        return "changed";
    case DeviceEvent::Gone:
        return "gone";
    }
    return "";
}

std::string UtcTime(std::time_t when)
{
    std::tm tm{};
    gmtime_r(&when, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

// A reader that went away (its SIGPIPE ignored) ends it as a stop does; any other failure is said.
int OutputFailed(Console &console, int error)
{
    if (error == EPIPE)
        return kExitDone;
    console.err << "izuzez: cannot write the output: " << std::strerror(error) << ".\n";
    return kExitDevice;
}

} // namespace

std::string ChangeLine(const DeviceChange &change, std::time_t when)
{
    std::string line = UtcTime(when) + " " + EventName(change.event) + "\t" + DeviceLine(change.device);
    if (change.event == DeviceEvent::Changed)
        for (const services::FieldChange &d : services::ChangedFields(change.before, change.device))
            line += std::string("\t") + d.key + " " + PrintableText(d.before) + " -> " + PrintableText(d.after);
    return line;
}

std::string ChangeJson(const DeviceChange &change, std::time_t when)
{
    nlohmann::ordered_json object{{"event", EventName(change.event)}, {"time", UtcTime(when)}};
    const nlohmann::ordered_json device = DeviceJson(change.device);
    for (const auto &[key, value] : device.items())
        object[key] = value;
    if (change.event == DeviceEvent::Changed)
    {
        nlohmann::ordered_json old = nlohmann::ordered_json::object();
        for (const services::FieldChange &diff : services::ChangedFields(change.before, change.device))
        {
            if (std::string_view(diff.key) == "dhcp")
                old["dhcp"] = change.before.dhcp;
            else
                old[diff.key] = diff.before;
        }
        object["old"] = std::move(old);
    }
    // Device names are raw bytes; a strict dump would throw on the first one that is not UTF-8.
    return object.dump(-1, ' ', true, nlohmann::ordered_json::error_handler_t::replace);
}

int RunWatch(const Options &options, DeviceSession &session, Console &console,
             const std::function<bool(std::chrono::milliseconds)> &waitOrStop, long searches)
{
    const std::chrono::milliseconds interval(options.watchIntervalMs);
    std::vector<KnownDevice> known;
    for (long done = 0; searches <= 0 || done < searches; ++done)
    {
        WatchStep step = NextWatchStep(known, session.Search());
        known = std::move(step.known);
        const std::time_t now = std::time(nullptr);
        for (const DeviceChange &change : step.changes)
            console.out << (options.json ? ChangeJson(change, now) : ChangeLine(change, now)) << "\n";
        console.out.flush(); // a script reads each line as it comes
        if (!console.out)
            return OutputFailed(console, errno);
        if (waitOrStop(interval))
            break;
    }
    return kExitDone;
}

} // namespace izuzez::cli
