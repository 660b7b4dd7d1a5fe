#pragma once

#include <string>
#include <vector>

#include "services/DoctorFacts.h"

namespace izuzez::services
{

// The doctor's report for a person: one block per interface, then the firewall, the port and the verdict.
// `izuzez doctor` prints it; the window copies it for a person who asks for help.
std::string DoctorText(const DoctorFacts &facts, const std::vector<std::string> &verdict);

// The same facts for scripts (`izuzez doctor --json`), without the final newline.
std::string DoctorJson(const DoctorFacts &facts, const std::vector<std::string> &verdict);

} // namespace izuzez::services
