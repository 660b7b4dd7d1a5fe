// izuzez watch over 10,000 simulated searches: prints the resident size at the start and the end, so that a
// leak over hours of watching shows as growth here.
#include "Commands.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <streambuf>
#include <unistd.h>

using namespace izuzez::cli;

namespace
{

// A network where devices come and go, move and switch to DHCP, so every kind of change is made often.
class ChurningSession : public DeviceSession
{
public:
    std::vector<FoundDevice> Search() override
    {
        ++m_search;
        std::vector<FoundDevice> found;
        for (int i = 0; i < 40; ++i)
        {
            if ((m_search + i) % 17 < 4) // absent for four searches now and then: gone, then back
                continue;
            FoundDevice d;
            d.mac = "00:1B:7A:00:01:" + std::to_string(10 + i);
            d.name = "Device" + std::to_string(i);
            d.ip = "10.0." + std::to_string(i) + "." + std::to_string(10 + (m_search / 5 + i) % 200);
            d.netmask = "255.255.255.0";
            d.gateway = "10.0." + std::to_string(i) + ".1";
            d.dhcp = (m_search / 7 + i) % 2 == 0;
            d.model = "NS-1";
            found.push_back(d);
        }
        // Devices seen once only, each with a new MAC, so the watch meets ever new identities.
        FoundDevice passing;
        passing.mac = "02:00:00:" + std::to_string(m_search);
        passing.ip = "10.1.0.1";
        found.push_back(passing);
        return found;
    }
    bool Select(const std::string &) override { return false; }
    int CheckAdminPassword(std::string_view, std::string_view) override { return 0; }
    bool Query(QueryKind, std::vector<std::string> &) override { return false; }
    bool SetStaticAddress(const std::string &, const std::string &, const std::string &) override { return false; }
    bool SetDhcp(std::string &) override { return false; }
    std::size_t PasswordLimit() const override { return 0; }

private:
    long m_search = 0;
};

class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return c; }
};

long ResidentKiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    // 10,000 searches at the default interval are a day and more of watching; more may be given.
    const long kSearches = argc > 1 ? std::atol(argv[1]) : 10000;
    ChurningSession session;
    NullBuffer nothing;
    std::ostream out(&nothing);
    Console console{out, std::cerr, {}, false, {}};
    Options options;
    options.command = Command::Watch;
    options.json = true;
    long searches = 0;
    long startKiB = 0;
    long halfKiB = 0;
    const auto step = [&](std::chrono::milliseconds)
    {
        if (++searches == 100) // after the first allocations have settled
            startKiB = ResidentKiB();
        if (searches == kSearches / 2)
            halfKiB = ResidentKiB();
        return false;
    };
    RunWatch(options, session, console, step, kSearches);
    std::printf("watch: %ld searches, resident %ld KiB after 100, %ld KiB half way, %ld KiB at the end\n", searches,
                startKiB, halfKiB, ResidentKiB());
    return 0;
}
