#pragma once

// Diagnostic output (query answers, the search's trace) goes to standard error only when switched on: by
// SetDiagnostics(true) (the command line's --verbose) or by the environment variable IZUZEZ_DEBUG=1.
void SetDiagnostics(bool on);
bool DiagnosticsEnabled();

// printf-style line to standard error when diagnostics are on.
void DiagnosticPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
