#include "Doctor.h"

#include "services/Diagnosis.h"
#include "services/DoctorReport.h"

namespace izuzez::cli
{
using namespace services;

int RunDoctor(const Options &options, Console &console)
{
    const DoctorFacts facts = GatherDoctorFacts({options.interfaces});
    const std::vector<std::string> verdict = Diagnose(facts);
    console.out << (options.json ? DoctorJson(facts, verdict) + "\n" : DoctorText(facts, verdict));
    return AnsweredDevices(facts) > 0 ? kExitDone : kExitDevice;
}

} // namespace izuzez::cli
