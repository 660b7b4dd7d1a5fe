#pragma once

#include <string_view>

// Diagnostic output (query answers, the search's trace) goes to standard error only when switched on: by
// SetDiagnostics(true) (the command line's --verbose) or by the environment variable IZUZEZ_DEBUG=1.
void SetDiagnostics(bool on);
bool DiagnosticsEnabled();

// printf-style line to standard error when diagnostics are on.
void DiagnosticPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));

// A line whose one "%s" is a device's text; the text goes through PrintableText first, because a device
// could otherwise write escape sequences to the terminal.
void DiagnosticText(const char *format, std::string_view deviceText);
