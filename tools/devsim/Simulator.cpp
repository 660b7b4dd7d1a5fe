#include "Simulator.h"

#include "Faults.h"

#include <algorithm>

namespace izuzez::devsim
{
namespace
{

constexpr std::uint8_t kPasswordMarker[] = {0x55, 0xAA};

std::string JoinShares(const std::vector<std::string> &shares)
{
    std::string text;
    for (std::size_t i = 0; i < shares.size(); ++i)
    {
        if (i > 0)
            text += ':';
        text += shares[i];
    }
    return text;
}

std::string PayloadText(const Bytes &payload)
{
    const auto end = std::find(payload.begin(), payload.end(), std::uint8_t{0});
    return std::string(payload.begin(), end);
}

Bytes TextBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

ReplyClass ClassOf(std::uint8_t opcode)
{
    if (opcode == kQueryRequest)
        return ReplyClass::Query;
    if (opcode == kSettingRequest)
        return ReplyClass::Setting;
    return ReplyClass::Search;
}

} // namespace

std::uint8_t PasswordVerdict(const DeviceConfig &device, std::span<const std::uint8_t> payload)
{
    const auto marker =
        std::search(payload.begin(), payload.end(), std::begin(kPasswordMarker), std::end(kPasswordMarker));
    if (marker == payload.end())
        return 0;
    const std::string user(payload.begin(), marker);
    const std::string password(marker + 2, payload.end());
    return user == device.adminUser && password == device.adminPassword ? 1 : 0;
}

Simulator::Simulator(std::vector<DeviceConfig> devices)
{
    for (DeviceConfig &config : devices)
        m_devices.push_back(Device{std::move(config), {}, {}, {}, {}, {}, {}});
}

std::vector<Outgoing> Simulator::Handle(std::span<const std::uint8_t> datagram, const Ipv4 &source,
                                        const std::vector<std::string> &listenAddresses)
{
    std::vector<Outgoing> out;
    const DecodeResult decoded = DecodeRequest(datagram);
    if (!decoded.request)
        return out;
    const Request &request = *decoded.request;
    for (Device &device : m_devices)
    {
        const auto &listen = device.config.listen;
        const auto via =
            std::find_first_of(listen.begin(), listen.end(), listenAddresses.begin(), listenAddresses.end());
        if (via == listen.end())
            continue;
        if (request.opcode != kSearchRequest && request.uuid != device.CurrentUuid())
            continue;
        std::vector<Outgoing> replies = Answer(device, request, source, *via);
        std::move(replies.begin(), replies.end(), std::back_inserter(out));
    }
    return out;
}

std::vector<Outgoing> Simulator::Answer(Device &device, const Request &request, const Ipv4 &source,
                                        const std::string &via)
{
    const Faults &faults = device.config.faults;
    const ReplyClass replyClass = ClassOf(request.opcode);
    std::vector<Outgoing> out;
    if (faults.silent || (replyClass == ReplyClass::Query && faults.silentQueries) ||
        (replyClass == ReplyClass::Setting && faults.silentSettings))
        return out;
    // A restarting device answers nothing.
    if (std::chrono::steady_clock::now() < device.restartingUntil)
        return out;

    auto emit = [&](Bytes bytes, std::string note, int delayMs)
    {
        out.push_back(Outgoing{std::move(bytes), device.config.replyTo == ReplyDestination::Group, source, via, delayMs,
                               device.config.name, std::move(note)});
    };

    if (faults.flood.count > 0 && AppliesTo(faults.flood.on, replyClass))
        for (auto &[datagram, delay] : FloodDatagrams(faults.flood, request.clientId, device.CurrentUuid()))
            emit(std::move(datagram.bytes), std::move(datagram.note), delay);

    const ClientId clientId = ReplyClientId(faults, request.clientId);
    std::vector<Labelled> replies;
    std::vector<Labelled> broken;
    const bool breakThis = !faults.malformed.empty() && AppliesTo(faults.malformedFor, replyClass);
    if (replyClass == ReplyClass::Search)
    {
        for (const int kind : device.config.kinds)
        {
            replies.push_back({SearchReply(device, kind, clientId), "reply:kind" + std::to_string(kind)});
            if (breakThis)
            {
                auto variants = MalformedSearchReplies(kind, clientId, SearchFields(device), faults);
                std::move(variants.begin(), variants.end(), std::back_inserter(broken));
            }
        }
    }
    else
    {
        Bytes valid;
        if (replyClass == ReplyClass::Query)
        {
            const std::optional<Bytes> text = QueryAnswer(device, request);
            if (!text)
                return out;
            valid = EncodeQueryReply(clientId, ReplyUuid(device), *request.subCommand, *text);
        }
        else
        {
            if (!ApplySetting(device, request))
                return out;
            if (device.config.restartMs > 0 && (*request.subCommand == 8 || *request.subCommand == 14))
                device.restartingUntil =
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(device.config.restartMs);
            valid = EncodeSettingReply(clientId, ReplyUuid(device), *request.subCommand);
        }
        if (breakThis)
            broken = MalformedHeaderReplies(valid, replyClass, faults);
        replies.push_back({std::move(valid), "reply"});
    }

    if (breakThis)
    {
        if (faults.sendValid)
            std::move(replies.begin(), replies.end(), std::back_inserter(broken));
        replies = std::move(broken);
    }
    for (Labelled &reply : replies)
    {
        for (int copy = 0; copy < faults.duplicates; ++copy)
            emit(reply.bytes, reply.note + ":duplicate", device.config.replyDelayMs);
        emit(std::move(reply.bytes), std::move(reply.note), device.config.replyDelayMs);
    }
    return out;
}

SearchReplyFields Simulator::SearchFields(const Device &device)
{
    const DeviceConfig &config = device.config;
    SearchReplyFields fields;
    fields.uuid = device.CurrentUuid();
    fields.dhcp = config.dhcp ? '1' : '0';
    fields.netmask = config.netmask;
    fields.gateway = config.gateway;
    fields.product = config.product;
    fields.name = config.name;
    return fields;
}

Bytes Simulator::SearchReply(const Device &device, int kind, const ClientId &clientId) const
{
    return EncodeSearchReply(kind, clientId, SearchFields(device));
}

Uuid Simulator::ReplyUuid(const Device &device)
{
    return MakeUuid(device.config.uuidPrefix, device.config.faults.replyAddress.value_or(device.config.address));
}

std::optional<Bytes> Simulator::QueryAnswer(Device &device, const Request &request) const
{
    const DeviceConfig &config = device.config;
    if (const auto found = config.answerSequences.find(*request.subCommand);
        found != config.answerSequences.end() && !found->second.empty())
    {
        std::size_t &given = device.answersGiven[*request.subCommand];
        const std::string &text = found->second[std::min(given, found->second.size() - 1)];
        ++given;
        return TextBytes(text);
    }
    switch (*request.subCommand)
    {
    case 3:
        return TextBytes(JoinShares(config.shares));
    case 4:
        return Bytes{PasswordVerdict(config, request.payload)};
    case 6:
        return TextBytes(config.workgroup);
    case 9:
        return TextBytes(config.codepage);
    case 11:
        return TextBytes(config.ideok);
    case 12:
        return TextBytes(config.sharename);
    case 15:
        return TextBytes(config.btFirmware);
    case 18:
        return TextBytes(config.domain);
    case 19:
        return TextBytes(config.ssl);
    default:
        return std::nullopt;
    }
}

bool Simulator::ApplySetting(Device &device, const Request &request) const
{
    DeviceConfig &config = device.config;
    const std::string text = PayloadText(request.payload);
    switch (*request.subCommand)
    {
    case 1:
        // An unreadable address leaves the device where it is; its reply then carries the old one.
        if (const auto address = ParseIpv4(text))
        {
            config.address = *address;
            config.netmask = request.netmask;
            config.gateway = request.gateway;
            config.dhcp = false;
        }
        return true;
    case 2:
        config.dhcp = true;
        if (config.dhcpAddress)
            config.address = *config.dhcpAddress;
        return true;
    case 5:
        device.setting5Text = text;
        return true;
    case 7:
        config.workgroup = text;
        return true;
    case 8:
        config.codepage = text;
        return true;
    case 10:
        device.accessMode = text;
        return true;
    case 13:
        device.stopText = text;
        return true;
    case 14:
        device.installedText = text;
        return true;
    default:
        return false;
    }
}

} // namespace izuzez::devsim
