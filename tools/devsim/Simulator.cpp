#include "Simulator.h"

#include "Faults.h"

#include <algorithm>

namespace izuzez::devsim
{
namespace
{

constexpr std::uint8_t kPasswordMarker[] = {0x55, 0xAA};

std::string joinShares(const std::vector<std::string> &shares)
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

std::string payloadText(const Bytes &payload)
{
    const auto end = std::find(payload.begin(), payload.end(), std::uint8_t{0});
    return std::string(payload.begin(), end);
}

Bytes textBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

ReplyClass classOf(std::uint8_t opcode)
{
    if (opcode == kQueryRequest)
        return ReplyClass::Query;
    if (opcode == kSettingRequest)
        return ReplyClass::Setting;
    return ReplyClass::Search;
}

} // namespace

std::uint8_t passwordVerdict(const DeviceConfig &device, std::span<const std::uint8_t> payload)
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

std::vector<Outgoing> Simulator::handle(std::span<const std::uint8_t> datagram, const Ipv4 &source,
                                        const std::vector<std::string> &listenAddresses)
{
    std::vector<Outgoing> out;
    const DecodeResult decoded = decodeRequest(datagram);
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
        if (request.opcode != kSearchRequest && request.uuid != device.uuid())
            continue;
        std::vector<Outgoing> replies = answer(device, request, source, *via);
        std::move(replies.begin(), replies.end(), std::back_inserter(out));
    }
    return out;
}

std::vector<Outgoing> Simulator::answer(Device &device, const Request &request, const Ipv4 &source,
                                        const std::string &via)
{
    const Faults &faults = device.config.faults;
    const ReplyClass replyClass = classOf(request.opcode);
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

    if (faults.flood.count > 0 && appliesTo(faults.flood.on, replyClass))
        for (auto &[datagram, delay] : floodDatagrams(faults.flood, request.clientId, device.uuid()))
            emit(std::move(datagram.bytes), std::move(datagram.note), delay);

    const ClientId clientId = replyClientId(faults, request.clientId);
    std::vector<Labelled> replies;
    std::vector<Labelled> broken;
    const bool breakThis = !faults.malformed.empty() && appliesTo(faults.malformedFor, replyClass);
    if (replyClass == ReplyClass::Search)
    {
        for (const int kind : device.config.kinds)
        {
            replies.push_back({searchReply(device, kind, clientId), "reply:kind" + std::to_string(kind)});
            if (breakThis)
            {
                auto variants = malformedSearchReplies(kind, clientId, searchFields(device), faults);
                std::move(variants.begin(), variants.end(), std::back_inserter(broken));
            }
        }
    }
    else
    {
        Bytes valid;
        if (replyClass == ReplyClass::Query)
        {
            const std::optional<Bytes> text = queryAnswer(device, request);
            if (!text)
                return out;
            valid = encodeQueryReply(clientId, replyUuid(device), *request.subCommand, *text);
        }
        else
        {
            if (!applySetting(device, request))
                return out;
            if (device.config.restartMs > 0 && (*request.subCommand == 8 || *request.subCommand == 14))
                device.restartingUntil =
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(device.config.restartMs);
            valid = encodeSettingReply(clientId, replyUuid(device), *request.subCommand);
        }
        if (breakThis)
            broken = malformedHeaderReplies(valid, replyClass, faults);
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

SearchReplyFields Simulator::searchFields(const Device &device)
{
    const DeviceConfig &config = device.config;
    SearchReplyFields fields;
    fields.uuid = device.uuid();
    fields.dhcp = config.dhcp ? '1' : '0';
    fields.netmask = config.netmask;
    fields.gateway = config.gateway;
    fields.product = config.product;
    fields.name = config.name;
    return fields;
}

Bytes Simulator::searchReply(const Device &device, int kind, const ClientId &clientId) const
{
    return encodeSearchReply(kind, clientId, searchFields(device));
}

Uuid Simulator::replyUuid(const Device &device)
{
    return makeUuid(device.config.uuidPrefix, device.config.faults.replyAddress.value_or(device.config.address));
}

std::optional<Bytes> Simulator::queryAnswer(Device &device, const Request &request) const
{
    const DeviceConfig &config = device.config;
    if (const auto found = config.answerSequences.find(*request.subCommand);
        found != config.answerSequences.end() && !found->second.empty())
    {
        std::size_t &given = device.answersGiven[*request.subCommand];
        const std::string &text = found->second[std::min(given, found->second.size() - 1)];
        ++given;
        return textBytes(text);
    }
    switch (*request.subCommand)
    {
    case 3:
        return textBytes(joinShares(config.shares));
    case 4:
        return Bytes{passwordVerdict(config, request.payload)};
    case 6:
        return textBytes(config.workgroup);
    case 9:
        return textBytes(config.codepage);
    case 11:
        return textBytes(config.ideok);
    case 12:
        return textBytes(config.sharename);
    case 15:
        return textBytes(config.btFirmware);
    case 18:
        return textBytes(config.domain);
    case 19:
        return textBytes(config.ssl);
    default:
        return std::nullopt;
    }
}

bool Simulator::applySetting(Device &device, const Request &request) const
{
    DeviceConfig &config = device.config;
    const std::string text = payloadText(request.payload);
    switch (*request.subCommand)
    {
    case 1:
        // An unreadable address leaves the device where it is; its reply then carries the old one.
        if (const auto address = parseIpv4(text))
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
