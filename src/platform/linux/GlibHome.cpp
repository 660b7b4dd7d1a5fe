#include "platform/linux/GlibHome.h"

#include <thread>

#include <gio/gio.h>

namespace izuzez::platform
{

namespace
{

gboolean RunWork(gpointer data)
{
    (*static_cast<std::function<void()> *>(data))();
    return G_SOURCE_REMOVE;
}

void DeleteWork(gpointer data)
{
    delete static_cast<std::function<void()> *>(data);
}

} // namespace

GMainContext *GlibHomeContext()
{
    // Never freed: the thread runs it until the process ends.
    static GMainContext *const context = []
    {
        GMainContext *made = g_main_context_new();
        std::thread(
            [made]
            {
                g_main_context_push_thread_default(made);
                // GVfs reaches its daemons over the session bus, whose shared connection by default raises
                // SIGTERM in the process when the bus goes away. A bus that ends (a session closing, a private
                // bus stopped) must fail the mounts in progress, not end the program. Held for the process.
                if (GDBusConnection *bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr))
                    g_dbus_connection_set_exit_on_close(bus, FALSE);
                for (;;)
                    g_main_context_iteration(made, TRUE);
            })
            .detach();
        return made;
    }();
    return context;
}

void RunAtGlibHome(std::function<void()> work)
{
    g_main_context_invoke_full(GlibHomeContext(), G_PRIORITY_DEFAULT, RunWork,
                               new std::function<void()>(std::move(work)), DeleteWork);
}

} // namespace izuzez::platform
