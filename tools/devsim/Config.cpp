#include "Config.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <set>
#include <sstream>

namespace izuzez::devsim
{
namespace
{

using nlohmann::json;

// Collects the first error with the path of the offending value.
class Reader
{
public:
    bool Failed() const { return !m_error.empty(); }
    const std::string &Error() const { return m_error; }

    bool Fail(const std::string &where, const std::string &message)
    {
        if (m_error.empty())
            m_error = where + ": " + message;
        return false;
    }

    bool OnlyKeys(const json &object, const std::string &where, const std::set<std::string> &allowed)
    {
        if (!object.is_object())
            return Fail(where, "must be an object");
        for (const auto &item : object.items())
            if (!allowed.count(item.key()))
                return Fail(where, "unknown key \"" + item.key() + "\"");
        return true;
    }

    // Strings, or integers for values a device reports as digits ("ssl": 1).
    void Text(const json &object, const char *key, const std::string &where, std::string &out,
              std::size_t maxLength = 4000)
    {
        if (!object.contains(key))
            return;
        const json &value = object[key];
        const std::string path = where + "." + key;
        if (value.is_string())
            out = value.get<std::string>();
        else if (value.is_number_integer())
            out = std::to_string(value.get<long long>());
        else
        {
            Fail(path, "must be a text");
            return;
        }
        if (out.size() > maxLength)
            Fail(path, "longer than " + std::to_string(maxLength) + " bytes");
    }

    void Integer(const json &object, const char *key, const std::string &where, long long low, long long high,
                 auto &out)
    {
        if (!object.contains(key))
            return;
        const json &value = object[key];
        const std::string path = where + "." + key;
        if (!value.is_number_integer())
        {
            Fail(path, "must be a whole number");
            return;
        }
        const long long number = value.get<long long>();
        if (number < low || number > high)
        {
            Fail(path, "must be between " + std::to_string(low) + " and " + std::to_string(high));
            return;
        }
        out = static_cast<std::remove_reference_t<decltype(out)>>(number);
    }

    void Flag(const json &object, const char *key, const std::string &where, bool &out)
    {
        if (!object.contains(key))
            return;
        const json &value = object[key];
        if (value.is_boolean())
            out = value.get<bool>();
        else if (value == 0 || value == "0")
            out = false;
        else if (value == 1 || value == "1")
            out = true;
        else
            Fail(where + "." + key, "must be true, false, 0 or 1");
    }

    void Address(const json &object, const char *key, const std::string &where, std::optional<Ipv4> &out)
    {
        if (!object.contains(key))
            return;
        const json &value = object[key];
        const auto parsed = value.is_string() ? ParseIpv4(value.get<std::string>()) : std::nullopt;
        if (!parsed)
            Fail(where + "." + key, "must be a dotted IPv4 address such as \"192.168.0.20\"");
        out = parsed;
    }

    // A single text or a list of texts.
    void Texts(const json &object, const char *key, const std::string &where, std::vector<std::string> &out)
    {
        if (!object.contains(key))
            return;
        const json &value = object[key];
        const std::string path = where + "." + key;
        out.clear();
        if (value.is_string())
        {
            out.push_back(value.get<std::string>());
            return;
        }
        if (!value.is_array())
        {
            Fail(path, "must be a text or a list of texts");
            return;
        }
        for (std::size_t i = 0; i < value.size(); ++i)
        {
            if (!value[i].is_string())
            {
                Fail(path + "[" + std::to_string(i) + "]", "must be a text");
                return;
            }
            out.push_back(value[i].get<std::string>());
        }
    }

private:
    std::string m_error;
};

std::vector<ReplyClass> ReplyClasses(Reader &reader, const json &object, const char *key, const std::string &where,
                                     std::vector<ReplyClass> fallback)
{
    std::vector<std::string> names;
    reader.Texts(object, key, where, names);
    if (!object.contains(key))
        return fallback;
    std::vector<ReplyClass> classes;
    for (const std::string &name : names)
    {
        if (name == "search")
            classes.push_back(ReplyClass::Search);
        else if (name == "query")
            classes.push_back(ReplyClass::Query);
        else if (name == "setting")
            classes.push_back(ReplyClass::Setting);
        else
            reader.Fail(where + "." + key, "\"" + name + "\" is not one of search, query, setting");
    }
    return classes;
}

void ReadFlood(Reader &reader, const json &object, const std::string &where, Flood &flood)
{
    if (!reader.OnlyKeys(object, where, {"count", "opcode", "spread_ms", "on"}))
        return;
    reader.Integer(object, "count", where, 0, 100000, flood.count);
    reader.Integer(object, "opcode", where, 0, 255, flood.opcode);
    reader.Integer(object, "spread_ms", where, 0, 600000, flood.spreadMs);
    flood.on = ReplyClasses(reader, object, "on", where, flood.on);
}

void ReadFaults(Reader &reader, const json &object, const std::string &where, Faults &faults)
{
    if (!reader.OnlyKeys(object, where,
                         {"foreign_client_id", "client_id_tail", "duplicates", "malformed", "malformed_for",
                          "send_valid", "short_length", "flood", "silent", "silent_queries", "silent_settings",
                          "reply_address"}))
        return;
    reader.Flag(object, "foreign_client_id", where, faults.foreignClientId);
    reader.Flag(object, "client_id_tail", where, faults.clientIdTail);
    reader.Integer(object, "duplicates", where, 0, 100, faults.duplicates);
    std::vector<std::string> malformed;
    reader.Texts(object, "malformed", where, malformed);
    static const std::pair<const char *, Malformed> names[] = {{"name_past_end", Malformed::NamePastEnd},
                                                               {"name_over_255", Malformed::NameOver255},
                                                               {"unterminated", Malformed::Unterminated},
                                                               {"short", Malformed::Short},
                                                               {"oversize", Malformed::Oversize}};
    for (const std::string &name : malformed)
    {
        const auto match = std::find_if(std::begin(names), std::end(names), [&](auto &n) { return name == n.first; });
        if (match == std::end(names))
            reader.Fail(where + ".malformed", "\"" + name +
                                                  "\" is not one of name_past_end, name_over_255, unterminated, "
                                                  "short, oversize");
        else
            faults.malformed.push_back(match->second);
    }
    faults.malformedFor = ReplyClasses(reader, object, "malformed_for", where, faults.malformedFor);
    reader.Flag(object, "send_valid", where, faults.sendValid);
    reader.Integer(object, "short_length", where, 0, 4096, faults.shortLength);
    if (object.contains("flood"))
        ReadFlood(reader, object["flood"], where + ".flood", faults.flood);
    reader.Flag(object, "silent", where, faults.silent);
    reader.Flag(object, "silent_queries", where, faults.silentQueries);
    reader.Flag(object, "silent_settings", where, faults.silentSettings);
    reader.Address(object, "reply_address", where, faults.replyAddress);
}

void ReadKinds(Reader &reader, const json &object, const std::string &where, std::vector<int> &kinds)
{
    if (!object.contains("kind"))
        return;
    const json &value = object["kind"];
    const json list = value.is_array() ? value : json::array({value});
    kinds.clear();
    for (const json &kind : list)
    {
        if (kind != 2 && kind != 7 && kind != 8)
        {
            reader.Fail(where + ".kind", "must be 2, 7 or 8 (or a list of them)");
            return;
        }
        kinds.push_back(kind.get<int>());
    }
    if (kinds.empty())
        reader.Fail(where + ".kind", "must not be an empty list");
}

std::array<std::uint8_t, 6> DefaultUuidPrefix(const std::string &mac, std::size_t index)
{
    std::array<std::uint8_t, 6> prefix{0x00, 0x1b, 0x7a, 0x00, 0x00, static_cast<std::uint8_t>(index + 1)};
    if (const auto bytes = FromHex(mac); bytes && bytes->size() == prefix.size())
        std::copy(bytes->begin(), bytes->end(), prefix.begin());
    return prefix;
}

void ReadDevice(Reader &reader, const json &object, const std::string &where, std::size_t index, DeviceConfig &device)
{
    if (!reader.OnlyKeys(object, where,
                         {"name",           "address",   "netmask",    "gateway",        "dhcp",       "dhcp_address",
                          "shares",         "workgroup", "codepage",   "ideok",          "sharename",  "bt_firmware",
                          "domain",         "ssl",       "admin_user", "admin_password", "kind",       "class",
                          "type",           "model",     "mac",        "hw_version",     "sw_version", "reply",
                          "reply_delay_ms", "listen",    "uuid",       "faults",         "answers",    "restart_ms"}))
        return;
    reader.Text(object, "name", where, device.name, 255);
    std::optional<Ipv4> address;
    reader.Address(object, "address", where, address);
    if (!object.contains("address"))
        reader.Fail(where, "missing \"address\"");
    device.address = address.value_or(Ipv4{});
    reader.Text(object, "netmask", where, device.netmask, 15);
    reader.Text(object, "gateway", where, device.gateway, 15);
    reader.Flag(object, "dhcp", where, device.dhcp);
    reader.Address(object, "dhcp_address", where, device.dhcpAddress);
    reader.Texts(object, "shares", where, device.shares);
    reader.Text(object, "workgroup", where, device.workgroup);
    reader.Text(object, "codepage", where, device.codepage);
    reader.Text(object, "ideok", where, device.ideok);
    reader.Text(object, "sharename", where, device.sharename);
    reader.Text(object, "bt_firmware", where, device.btFirmware);
    reader.Text(object, "domain", where, device.domain);
    reader.Text(object, "ssl", where, device.ssl);
    reader.Text(object, "admin_user", where, device.adminUser);
    reader.Text(object, "admin_password", where, device.adminPassword);
    ReadKinds(reader, object, where, device.kinds);
    reader.Integer(object, "class", where, 0, 255, device.product.classByte);
    reader.Integer(object, "type", where, 0, 255, device.product.typeByte);
    reader.Text(object, "model", where, device.product.model, 63);
    reader.Text(object, "mac", where, device.product.mac, 63);
    reader.Text(object, "hw_version", where, device.product.hwVersion, 63);
    reader.Text(object, "sw_version", where, device.product.swVersion, 63);
    std::string reply = "group";
    reader.Text(object, "reply", where, reply);
    if (reply == "group" || reply == "unicast")
        device.replyTo = reply == "group" ? ReplyDestination::Group : ReplyDestination::Unicast;
    else
        reader.Fail(where + ".reply", "must be \"group\" or \"unicast\"");
    reader.Integer(object, "reply_delay_ms", where, 0, 600000, device.replyDelayMs);
    reader.Integer(object, "restart_ms", where, 0, 600000, device.restartMs);
    if (object.contains("answers"))
    {
        // Successive answers of a query, by its name; the last one repeats.
        static const std::pair<const char *, int> queries[] = {
            {"codepage", 9}, {"ideok", 11}, {"sharename", 12}, {"bt_firmware", 15}};
        const json &answers = object["answers"];
        if (!answers.is_object())
            reader.Fail(where + ".answers", "must be an object");
        else
            for (const auto &[name, sub] : queries)
                if (answers.contains(name))
                    reader.Texts(answers, name, where + ".answers", device.answerSequences[sub]);
        if (answers.is_object())
            for (const auto &item : answers.items())
                if (item.key() != "codepage" && item.key() != "ideok" && item.key() != "sharename" &&
                    item.key() != "bt_firmware")
                    reader.Fail(where + ".answers." + item.key(), "unknown query");
    }
    reader.Texts(object, "listen", where, device.listen);
    if (device.listen.empty())
        reader.Fail(where + ".listen", "must name at least one local address");
    device.uuidPrefix = DefaultUuidPrefix(device.product.mac, index);
    std::string uuid;
    reader.Text(object, "uuid", where, uuid);
    if (!uuid.empty())
    {
        const auto bytes = FromHex(uuid);
        if (!bytes || bytes->size() != device.uuidPrefix.size())
            reader.Fail(where + ".uuid", "must be 6 bytes in hex, such as \"001b7a000001\"");
        else
            std::copy(bytes->begin(), bytes->end(), device.uuidPrefix.begin());
    }
    if (object.contains("faults"))
        ReadFaults(reader, object["faults"], where + ".faults", device.faults);
}

} // namespace

ConfigResult ParseConfig(std::string_view jsonText)
{
    ConfigResult result;
    json root;
    // A configuration nests a few levels; a deeper value is refused before anything recurses into it.
    bool tooDeep = false;
    const json::parser_callback_t depthBound = [&tooDeep](int depth, json::parse_event_t, json &)
    {
        tooDeep = tooDeep || depth > kConfigDepthLimit;
        return !tooDeep;
    };
    try
    {
        root = json::parse(jsonText, depthBound);
    }
    catch (const json::exception &error)
    {
        result.error = std::string("not valid JSON: ") + error.what();
        return result;
    }
    if (tooDeep)
    {
        result.error = "config: nested deeper than " + std::to_string(kConfigDepthLimit) + " levels";
        return result;
    }
    Reader reader;
    if (!reader.OnlyKeys(root, "config", {"listen", "faults", "devices"}))
        return {std::nullopt, reader.Error()};
    if (!root.contains("devices") || !root["devices"].is_array())
        return {std::nullopt, "config: \"devices\" must be a list of device objects"};
    const json defaults = json::object(
        {{"listen", root.value("listen", json("127.0.0.1"))}, {"faults", root.value("faults", json::object())}});
    if (!defaults["faults"].is_object())
        return {std::nullopt, "config.faults: must be an object"};
    std::vector<DeviceConfig> devices;
    const json &list = root["devices"];
    for (std::size_t i = 0; i < list.size() && !reader.Failed(); ++i)
    {
        const std::string where = "devices[" + std::to_string(i) + "]";
        if (!list[i].is_object())
            return {std::nullopt, where + ": must be an object"};
        json merged = defaults;
        merged.merge_patch(list[i]);
        if (list[i].contains("faults") && !list[i]["faults"].is_object())
            return {std::nullopt, where + ".faults: must be an object"};
        DeviceConfig device;
        ReadDevice(reader, merged, where, i, device);
        devices.push_back(std::move(device));
    }
    if (reader.Failed())
        return {std::nullopt, reader.Error()};
    result.devices = std::move(devices);
    return result;
}

ConfigResult LoadConfigFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {std::nullopt, path + ": cannot be read"};
    std::ostringstream text;
    text << file.rdbuf();
    ConfigResult result = ParseConfig(text.str());
    if (!result.devices)
        result.error = path + ": " + result.error;
    return result;
}

const std::string &DefaultConfigText()
{
    static const std::string text = R"({
  "listen": "127.0.0.1",
  "devices": [
    {
      "name": "Storage-One",
      "address": "127.0.0.2",
      "netmask": "255.0.0.0",
      "gateway": "127.0.0.1",
      "dhcp": false,
      "dhcp_address": "127.0.0.12",
      "shares": ["public", "media", "backup"],
      "workgroup": "WORKGROUP",
      "codepage": "437",
      "ideok": "1",
      "sharename": "public",
      "bt_firmware": "1",
      "domain": "HOMELAN",
      "ssl": "0",
      "admin_password": "",
      "kind": 8,
      "model": "NS-2400",
      "mac": "00:1B:7A:10:00:02",
      "hw_version": "1.2",
      "sw_version": "2.3.1"
    },
    {
      "name": "Recorder-Two",
      "address": "127.0.0.3",
      "netmask": "255.0.0.0",
      "gateway": "127.0.0.1",
      "dhcp": true,
      "dhcp_address": "127.0.0.13",
      "shares": ["recordings"],
      "workgroup": "WORKGROUP",
      "codepage": "950",
      "ideok": "1",
      "sharename": "recordings",
      "bt_firmware": "0",
      "domain": "",
      "ssl": "0",
      "admin_password": "secret",
      "kind": 7,
      "model": "VR-800",
      "mac": "00:1B:7A:10:00:03",
      "hw_version": "2.0",
      "sw_version": "1.0.7"
    },
    {
      "name": "Secure-Three",
      "address": "127.0.0.4",
      "netmask": "255.0.0.0",
      "gateway": "",
      "dhcp": false,
      "dhcp_address": "127.0.0.14",
      "shares": ["docs", "photos"],
      "workgroup": "OFFICE",
      "codepage": "850",
      "ideok": "0",
      "sharename": "docs",
      "bt_firmware": "0",
      "domain": "OFFICE",
      "ssl": "1",
      "admin_password": "admin",
      "kind": 8,
      "reply": "unicast",
      "model": "NS-4800S",
      "mac": "00:1B:7A:10:00:04",
      "hw_version": "3.1",
      "sw_version": "4.0.2"
    }
  ]
}
)";
    return text;
}

} // namespace izuzez::devsim
