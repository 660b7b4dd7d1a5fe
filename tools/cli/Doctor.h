#pragma once

#include "Commands.h"

namespace izuzez::cli
{

// `izuzez doctor`: the report (services/DoctorReport.h); exit 0 when at least one device answered, 1 otherwise.
int RunDoctor(const Options &options, Console &console);

} // namespace izuzez::cli
