#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "CliOptions.h"
#include "protocol/PrintableText.h"
#include "services/DriveLetters.h"

namespace izuzez::cli
{

// Every device text shown here goes through PrintableText.

// One tab-separated line: name, IP, netmask, gateway, "dhcp" or "static", model, MAC, firmware;
// an empty field shows as "-"; then "outside 10.0.0.0/24" for a device outside its interface's network.
// No line end.
std::string DeviceLine(const FoundDevice &device);

// The search result for a person at a terminal: a header line (MODE is "dhcp" or "static"), then the
// fields of DeviceLine in aligned columns, the outside note last. Each line ends with a line end.
std::string DevicesTable(const std::vector<FoundDevice> &devices);

// The search result as a JSON array in printable ASCII, DeviceJson's keys then "outside_network" (or null): every other
// character is escaped, so the texts reach a reader whole but never act on a terminal. Bytes that are not UTF-8 are
// replaced, never an error.
std::string DevicesJson(const std::vector<FoundDevice> &devices);
// One device's fields, in the order the JSON outputs document.
nlohmann::ordered_json DeviceJson(const FoundDevice &device);

using services::DriveRow;

// The drives listing: one tab-separated line a letter, or a JSON array in printable ASCII; bytes that are not
// UTF-8 are replaced, never an error.
std::string DrivesText(const std::vector<DriveRow> &rows);
std::string DrivesJson(const std::vector<DriveRow> &rows);

} // namespace izuzez::cli
