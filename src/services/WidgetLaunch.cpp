#include "services/WidgetLaunch.h"

#include "platform/WinFiles.h"

#include <string>

namespace izuzez::services
{

const char *WidgetFileForModel(std::string_view model)
{
    static constexpr struct
    {
        std::string_view model;
        const char *file;
    } widgets[] = {
        {"QB-12", "VANTRELEu_QB12_Widget.widget"},
        {"QB-24", "VANTRELEu_QB24_Widget.widget"},
        {"QB-11", "VANTRELEu_QB11_Widget.widget"},
        {"QB-15", "VANTRELEu_QB15_Widget"},
    };
    for (const auto &w : widgets)
        if (w.model == model)
            return w.file;
    return nullptr;
}

const char *WidgetFileForChoice(int choice)
{
    static constexpr const char *choices[] = {"VANTRELEu_QB11_Widget.widget", "VANTRELEu_QB12_Widget.widget",
                                              "VANTRELEu_QB24_Widget.widget"};
    return choice >= 0 && choice < 3 ? choices[choice] : nullptr;
}

bool WriteWidgetAddress(std::string_view ip)
{
    platform::WinFile *file = platform::WinFopen(kWidgetAddressFile, "w+t");
    if (file == nullptr)
        return false;
    const bool written = ip.empty() || platform::WinFwrite(ip.data(), 1, ip.size(), file) == ip.size();
    return platform::WinFclose(file) == 0 && written;
}

} // namespace izuzez::services
