#pragma once

#include "Wire.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace izuzez::devsim
{

enum class Malformed
{
    NamePastEnd,  // name length field larger than the bytes that follow
    NameOver255,  // a name of more than 255 bytes, all present
    Unterminated, // fixed text fields filled to their last byte, no NUL
    Short,        // datagram cut to `shortLength` bytes
    Oversize,     // datagram longer than 4096 bytes
};

enum class ReplyClass
{
    Search,
    Query,
    Setting,
};

struct Flood
{
    int count = 0;
    std::uint8_t opcode = kBasicSearchReply;
    int spreadMs = 0;
    std::vector<ReplyClass> on{ReplyClass::Search, ReplyClass::Query, ReplyClass::Setting};
};

struct Faults
{
    bool foreignClientId = false; // bytes 1-6 differ from the request's
    bool clientIdTail = false;    // bytes 7-10 differ, bytes 1-6 kept
    int duplicates = 0;           // extra copies of every reply
    std::vector<Malformed> malformed;
    std::vector<ReplyClass> malformedFor{ReplyClass::Search};
    bool sendValid = false;      // send the proper reply after the malformed ones
    std::size_t shortLength = 0; // 0: a default per reply class
    Flood flood;
    bool silent = false;
    bool silentQueries = false;
    bool silentSettings = false;
    std::optional<Ipv4> replyAddress; // address put in bytes 17-20 of query and setting replies
};

enum class ReplyDestination
{
    Group,
    Unicast,
};

struct DeviceConfig
{
    std::string name;
    Ipv4 address{};
    std::string netmask;
    std::string gateway;
    bool dhcp = false;
    std::optional<Ipv4> dhcpAddress;
    std::vector<std::string> shares;
    std::string workgroup;
    std::string codepage;
    std::string ideok;
    std::string sharename;
    std::string btFirmware;
    std::string domain;
    std::string ssl;
    std::string adminUser = "admin";
    std::string adminPassword;
    std::vector<int> kinds{kFullSearchReply}; // reply kinds sent for one search, in order
    ProductFields product;
    ReplyDestination replyTo = ReplyDestination::Group;
    int replyDelayMs = 0;
    std::vector<std::string> listen; // dotted local addresses
    std::array<std::uint8_t, 6> uuidPrefix{};
    Faults faults;
    std::map<int, std::vector<std::string>> answerSequences; // query sub-command -> successive answers
    int restartMs = 0; // silence after a code-page or installed setting, as the device restarts
};

// A device as it runs: its configuration plus what later requests changed.
struct Device
{
    DeviceConfig config;
    std::string accessMode;
    std::string stopText;
    std::string installedText;
    std::string setting5Text;
    std::map<int, std::size_t> answersGiven;
    std::chrono::steady_clock::time_point restartingUntil{};

    Uuid CurrentUuid() const { return MakeUuid(config.uuidPrefix, config.address); }
};

} // namespace izuzez::devsim
