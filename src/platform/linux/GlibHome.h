#pragma once

#include <functional>

#include <glib.h>

namespace izuzez::platform
{

// The one home of the program's GLib work: a main context run by one thread for the life of the process,
// started on first use. Every callback GIO owes us lands there, however long after its caller left.
GMainContext *GlibHomeContext();

// Runs work on the home thread, soon and in the order given; returns at once.
void RunAtGlibHome(std::function<void()> work);

} // namespace izuzez::platform
