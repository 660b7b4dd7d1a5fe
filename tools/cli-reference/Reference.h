#pragma once

#include <string>
#include <string_view>

#include "CommandLine.h"

namespace izuzez::cli
{

std::string RenderBashCompletion(const CommandLine &line);
// The manual's COMMANDS and OPTIONS sections (roff), put into the template at @COMMANDS@ and @OPTIONS@.
std::string RenderManual(const CommandLine &line, std::string_view manualTemplate);

} // namespace izuzez::cli
