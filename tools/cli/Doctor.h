#pragma once

#include <string>
#include <vector>

#include "Commands.h"
#include "services/Diagnosis.h"

namespace izuzez::cli
{

// The report for a person: one block per interface, then the verdict.
std::string DoctorText(const services::DoctorFacts &facts, const std::vector<std::string> &verdict);
std::string DoctorJson(const services::DoctorFacts &facts, const std::vector<std::string> &verdict);

// `izuzez doctor`: exit 0 when at least one device answered, 1 otherwise.
int RunDoctor(const Options &options, Console &console);

} // namespace izuzez::cli
