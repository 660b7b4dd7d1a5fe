#include "RequestLog.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace izuzez::devsim
{

std::string LogTimestamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
    return text;
}

std::string FormatRequestLine(const std::string &time, const Ipv4 &source, std::uint16_t port,
                              const std::string &listen, std::span<const std::uint8_t> datagram)
{
    std::string line = "recv t=" + time + " from=" + FormatIpv4(source) + ":" + std::to_string(port) + " on=" + listen +
                       " len=" + std::to_string(datagram.size());
    line += " op=" + (datagram.empty() ? std::string("-") : std::to_string(datagram[0]));
    const DecodeResult decoded = DecodeRequest(datagram);
    if (decoded.request)
    {
        const Request &request = *decoded.request;
        line += " sub=" + (request.subCommand ? std::to_string(*request.subCommand) : std::string("-"));
        line += " cid=" + ToHex(request.clientId);
        line += " uuid=" + (request.uuid ? ToHex(*request.uuid) : std::string("-"));
        line += " payload_len=" + std::to_string(request.declaredPayloadLength);
        line += " payload_hex=" + ToHex(request.payload);
        line += " payload_text=\"" + ToPrintable(request.payload) + "\"";
        if (request.opcode == kSettingRequest)
            line += " netmask=\"" + ToPrintable(AsBytes(request.netmask)) + "\" gateway=\"" +
                    ToPrintable(AsBytes(request.gateway)) + "\"";
        if (request.payloadTruncated)
            line += " error=\"payload length past end\"";
    }
    else
    {
        line += " sub=- cid=- uuid=- payload_len=0 payload_hex= payload_text=\"\" error=\"" + decoded.error + "\"";
    }
    line += " hex=" + ToHex(datagram);
    return line;
}

std::string FormatSendLine(const std::string &time, const Outgoing &outgoing, std::uint16_t port)
{
    const std::string to = outgoing.toGroup ? std::string(kGroupAddress) : FormatIpv4(outgoing.unicastTo);
    return "send t=" + time + " device=\"" + ToPrintable(AsBytes(outgoing.device)) + "\" to=" + to + ":" +
           std::to_string(port) + " via=" + outgoing.via + " note=" + outgoing.note +
           " len=" + std::to_string(outgoing.bytes.size()) +
           " op=" + (outgoing.bytes.empty() ? std::string("-") : std::to_string(outgoing.bytes[0])) +
           " hex=" + ToHex(outgoing.bytes);
}

} // namespace izuzez::devsim
