#include "protocol/Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "protocol/PrintableText.h"

namespace
{
// -1: not decided yet, then taken from IZUZEZ_DEBUG on first use.
int g_diagnostics = -1;
} // namespace

void SetDiagnostics(bool on)
{
    g_diagnostics = on ? 1 : 0;
}

bool DiagnosticsEnabled()
{
    if (g_diagnostics < 0)
    {
        const char *value = std::getenv("IZUZEZ_DEBUG");
        g_diagnostics = (value != nullptr && std::strcmp(value, "1") == 0) ? 1 : 0;
    }
    return g_diagnostics == 1;
}

void DiagnosticPrint(const char *format, ...)
{
    if (!DiagnosticsEnabled())
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

void DiagnosticText(const char *format, std::string_view deviceText)
{
    if (!DiagnosticsEnabled())
        return;
    const std::string shown = PrintableText(deviceText);
    DiagnosticPrint(format, shown.c_str());
}
