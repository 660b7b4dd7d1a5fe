#pragma once

#include <string_view>

namespace izuzez::services
{

inline constexpr std::string_view kWidgetAddressFile = "C:\\ip.txt";
inline constexpr std::string_view kWidgetEngineDownload = "http://widgets.yahoo.com/download/";
inline constexpr std::string_view kSelectServer = "Please select a server.";
inline constexpr std::string_view kWidgetError = "Execute widget file error!";

// The widget file of a model text (exact comparison); null for an unknown model.
const char *WidgetFileForModel(std::string_view model);
// The widget file of the model chooser's radio index 0..2; null for anything else.
const char *WidgetFileForChoice(int choice);
// Writes the address into C:\ip.txt, replacing it, without a line end. False when the file cannot be made.
bool WriteWidgetAddress(std::string_view ip);

} // namespace izuzez::services
