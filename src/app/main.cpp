#include "app/AppOptions.h"
#include "app/CSearchUtilityApp.h"
#include "protocol/Diagnostics.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const std::vector<std::string> raw(argv + 1, argv + argc);
    if (WantsTextOnly(raw))
    {
        const AppOptionsResult parsed = ParseAppOptions(raw);
        std::cout << (parsed.options.version ? AppVersionText() : AppUsageText());
        return 0;
    }

    QApplication app(argc, argv);
    // Qt has taken its own options out of argv by now.
    const AppOptionsResult parsed = ParseAppOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok)
    {
        std::cerr << "izuzez-utility: " << parsed.error << "\n" << AppUsageText();
        return 2;
    }
    if (parsed.options.verbose)
        SetDiagnostics(true);

    CSearchUtilityApp theApp(parsed.options.interfaces);
    return theApp.InitInstance();
}
