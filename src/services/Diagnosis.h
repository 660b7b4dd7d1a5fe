#pragma once

#include <string>
#include <vector>

#include "services/DoctorFacts.h"

namespace izuzez::services
{

// How many devices answered, over every interface (an address answering on two interfaces counts once).
int AnsweredDevices(const DoctorFacts &facts);

// The verdict: short sentences a person can act on, the most telling first. Never empty.
std::vector<std::string> Diagnose(const DoctorFacts &facts);

} // namespace izuzez::services
