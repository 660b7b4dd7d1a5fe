// The GIO mount's bounds against a backend of our own for smb:// that never finishes, finishes only when
// cancelled, or finishes long after the wait gave up on it.

#include "platform/WinError.h"
#include "platform/linux/ShareMounter.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

using namespace izuzez::platform;
using namespace std::chrono_literals;

namespace
{

enum class Backend
{
    Stuck,          // ignores the cancellation and never calls back
    HonoursCancel,  // ends with G_IO_ERROR_CANCELLED when cancelled
    LateAfterGiveUp // ignores the cancellation and calls back after a while
};
Backend g_backend = Backend::Stuck;
constexpr guint kLateMs = 900;
// The tasks of the stuck backend and their context, answered when a case ends so that nothing leaks.
std::vector<GTask *> g_stuck;
GMainContext *g_stuckContext = nullptr;

struct FakeShareFile
{
    GObject parent;
};
struct FakeShareFileClass
{
    GObjectClass parent;
};

void fake_share_file_iface_init(GFileIface *iface);
// GObject's type macros are C and cast the old way.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE_WITH_CODE(FakeShareFile, fake_share_file, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_FILE, fake_share_file_iface_init))
#pragma GCC diagnostic pop

void fake_share_file_init(FakeShareFile *) {}
void fake_share_file_class_init(FakeShareFileClass *) {}

void OnCancelled(GCancellable *, gpointer data)
{
    GTask *task = G_TASK(data);
    g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_CANCELLED, "cancelled");
    g_object_unref(task);
}

gboolean OnLate(gpointer data)
{
    GTask *task = G_TASK(data);
    g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_TIMED_OUT, "late");
    g_object_unref(task);
    return G_SOURCE_REMOVE;
}

void MountEnclosingVolume(GFile *file, GMountMountFlags, GMountOperation *, GCancellable *cancellable,
                          GAsyncReadyCallback callback, gpointer data)
{
    GTask *task = g_task_new(file, nullptr, callback, data);
    switch (g_backend)
    {
    case Backend::Stuck:
        // Not returned while the mount waits, as by a backend that hangs.
        g_stuck.push_back(task);
        if (g_stuckContext == nullptr)
            g_stuckContext = g_main_context_ref_thread_default();
        break;
    case Backend::HonoursCancel:
        g_cancellable_connect(cancellable, G_CALLBACK(OnCancelled), task, nullptr);
        break;
    case Backend::LateAfterGiveUp:
    {
        GSource *late = g_timeout_source_new(kLateMs);
        g_source_set_callback(late, OnLate, task, nullptr);
        g_source_attach(late, g_main_context_get_thread_default());
        g_source_unref(late);
        break;
    }
    }
}

gboolean MountEnclosingVolumeFinish(GFile *, GAsyncResult *result, GError **error)
{
    return g_task_propagate_boolean(G_TASK(result), error);
}

void fake_share_file_iface_init(GFileIface *iface)
{
    iface->mount_enclosing_volume = MountEnclosingVolume;
    iface->mount_enclosing_volume_finish = MountEnclosingVolumeFinish;
}

GFile *LookUp(GVfs *, const char *, gpointer)
{
    return G_FILE(g_object_new(fake_share_file_get_type(), nullptr));
}

class MountBoundTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The local VFS, with smb:// taken over by the fake backend.
        setenv("GIO_USE_VFS", "local", 1);
        ASSERT_TRUE(
            g_vfs_register_uri_scheme(g_vfs_get_default(), "smb", LookUp, nullptr, nullptr, nullptr, nullptr, nullptr));
    }

    void TearDown() override
    {
        // The late answers free what the mounts left to them.
        for (GTask *task : g_stuck)
        {
            g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_TIMED_OUT, "late");
            g_object_unref(task);
        }
        g_stuck.clear();
        if (g_stuckContext != nullptr)
        {
            for (int i = 0; i < 100 && g_main_context_iteration(g_stuckContext, FALSE); ++i)
            {
            }
            g_main_context_unref(g_stuckContext);
            g_stuckContext = nullptr;
        }
    }

    static std::chrono::milliseconds Mount(ShareMounter &mounter, int &result)
    {
        MountRequest request;
        // A name, not an address: the mounter checks the SMB ports of an address first, and the fake backend
        // stands for a server that is not there.
        request.server = "stuck-device";
        request.share = "HDD_1";
        request.anonymous = true;
        std::string folder;
        const auto start = std::chrono::steady_clock::now();
        result = mounter.Mount(request, folder);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }
};

TEST_F(MountBoundTest, ABackendThatIgnoresTheCancellationIsGivenUpOnInTime)
{
    g_backend = Backend::Stuck;
    const auto mounter = CreateGioMounter({300ms, 300ms});
    int result = NO_ERROR;
    const auto elapsed = Mount(*mounter, result);
    EXPECT_EQ(result, ERROR_BAD_NETPATH);
    EXPECT_GE(elapsed, 550ms);
    EXPECT_LT(elapsed, 8s);
}

TEST_F(MountBoundTest, ABackendThatHonoursTheCancellationEndsAtTheCancelTime)
{
    g_backend = Backend::HonoursCancel;
    const auto mounter = CreateGioMounter({300ms, 20s});
    int result = NO_ERROR;
    const auto elapsed = Mount(*mounter, result);
    EXPECT_EQ(result, ERROR_BAD_NETPATH);
    EXPECT_GE(elapsed, 250ms);
    EXPECT_LT(elapsed, 10s);
}

TEST_F(MountBoundTest, ALateAnswerToAMountGivenUpOnIsTakenSafely)
{
    // The first mount is given up on before its backend answers; the answer comes during the second one,
    // on the same thread's context.
    g_backend = Backend::LateAfterGiveUp;
    const auto mounter = CreateGioMounter({200ms, 200ms});
    int first = NO_ERROR, second = NO_ERROR;
    Mount(*mounter, first);
    g_backend = Backend::Stuck;
    const auto mounterLonger = CreateGioMounter({1500ms, 200ms});
    const auto elapsed = Mount(*mounterLonger, second);
    EXPECT_EQ(first, ERROR_BAD_NETPATH);
    EXPECT_EQ(second, ERROR_BAD_NETPATH);
    EXPECT_GE(elapsed, 1600ms);
}

} // namespace
