#pragma once

#include <string>
#include <vector>

// Starts the network endpoints, runs the main window modally and ends the program when it closes.
class CSearchUtilityApp
{
public:
    // The local addresses to search from; empty means every interface.
    explicit CSearchUtilityApp(std::vector<std::string> interfaces = {});

    // Returns the exit status: 0 after the window, 2 when a requested address is not local.
    int InitInstance();

private:
    std::vector<std::string> m_interfaces;
};
