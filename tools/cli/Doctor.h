#pragma once

#include <string>
#include <vector>

#include "Commands.h"
#include "Diagnosis.h"

namespace izuzez::cli
{

// Looks at every local interface (or the given ones), searches once on each and counts what arrived.
// Opens and closes the protocol endpoints itself; runs the firewall tools with a time limit.
DoctorFacts GatherDoctorFacts(const std::vector<std::string> &interfaces);

// The report for a person: one block per interface, then the verdict.
std::string DoctorText(const DoctorFacts &facts, const std::vector<std::string> &verdict);
std::string DoctorJson(const DoctorFacts &facts, const std::vector<std::string> &verdict);

// `izuzez doctor`: exit 0 when at least one device answered, 1 otherwise.
int RunDoctor(const Options &options, Console &console);

} // namespace izuzez::cli
