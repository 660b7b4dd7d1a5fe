// The GIO mount's bounds against a backend of our own for smb:// that never finishes, finishes only when
// cancelled, finishes long after the wait gave up on it, or mounts (at once, or just after the cancellation).
// Its shares unmount a moment after they are asked to, unless cancelled first.

#include "platform/NetworkDrives.h"
#include "platform/WinError.h"
#include "platform/linux/ShareMounter.h"
#include "support/Installed.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

using namespace izuzez::platform;
using namespace std::chrono_literals;

namespace
{

enum class Backend
{
    Stuck,              // ignores the cancellation and never calls back
    HonoursCancel,      // ends with G_IO_ERROR_CANCELLED when cancelled
    LateAfterGiveUp,    // ignores the cancellation and calls back after a while
    Mounts,             // mounts at once
    MountsWhenCancelled // mounts a while after it is cancelled, as a server that answers just too late
};
Backend g_backend = Backend::Stuck;
constexpr guint kLateMs = 900;
constexpr guint kJustTooLateMs = 400;
constexpr guint kUnmountMs = 20;
// The tasks of the stuck backend, answered when a case ends so that nothing leaks.
std::vector<GTask *> g_stuck;
// The folder of a mounted share; empty: it has none.
std::string g_folder;
std::atomic<bool> g_mountAnswered{false};
std::atomic<int> g_unmounted{0};

struct FakeMount
{
    GObject parent;
};
struct FakeMountClass
{
    GObjectClass parent;
};

void fake_mount_iface_init(GMountIface *iface);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE_WITH_CODE(FakeMount, fake_mount, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_MOUNT, fake_mount_iface_init))
#pragma GCC diagnostic pop

void fake_mount_init(FakeMount *) {}
void fake_mount_class_init(FakeMountClass *) {}

gboolean OnUnmountDue(gpointer data)
{
    GTask *task = G_TASK(data);
    if (!g_task_return_error_if_cancelled(task))
    {
        ++g_unmounted;
        g_task_return_boolean(task, TRUE);
    }
    g_object_unref(task);
    return G_SOURCE_REMOVE;
}

void UnmountWithOperation(GMount *mount, GMountUnmountFlags, GMountOperation *, GCancellable *cancellable,
                          GAsyncReadyCallback callback, gpointer data)
{
    GSource *due = g_timeout_source_new(kUnmountMs);
    g_source_set_callback(due, OnUnmountDue, g_task_new(mount, cancellable, callback, data), nullptr);
    g_source_attach(due, g_main_context_get_thread_default());
    g_source_unref(due);
}

gboolean UnmountWithOperationFinish(GMount *, GAsyncResult *result, GError **error)
{
    return g_task_propagate_boolean(G_TASK(result), error);
}

void fake_mount_iface_init(GMountIface *iface)
{
    iface->unmount_with_operation = UnmountWithOperation;
    iface->unmount_with_operation_finish = UnmountWithOperationFinish;
}

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

gboolean OnMountedLate(gpointer data)
{
    GTask *task = G_TASK(data);
    g_mountAnswered = true;
    g_task_return_boolean(task, TRUE);
    g_object_unref(task);
    return G_SOURCE_REMOVE;
}

void OnCancelledMountLater(GCancellable *, gpointer data)
{
    GSource *late = g_timeout_source_new(kJustTooLateMs);
    g_source_set_callback(late, OnMountedLate, data, nullptr);
    g_source_attach(late, g_main_context_get_thread_default());
    g_source_unref(late);
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
    case Backend::Mounts:
        g_task_return_boolean(task, TRUE);
        g_object_unref(task);
        break;
    case Backend::MountsWhenCancelled:
        g_cancellable_connect(cancellable, G_CALLBACK(OnCancelledMountLater), task, nullptr);
        break;
    }
}

gboolean MountEnclosingVolumeFinish(GFile *, GAsyncResult *result, GError **error)
{
    return g_task_propagate_boolean(G_TASK(result), error);
}

char *GetPath(GFile *)
{
    return g_folder.empty() ? nullptr : g_strdup(g_folder.c_str());
}

GMount *FindEnclosingMount(GFile *, GCancellable *, GError **)
{
    return G_MOUNT(g_object_new(fake_mount_get_type(), nullptr));
}

void fake_share_file_iface_init(GFileIface *iface)
{
    iface->mount_enclosing_volume = MountEnclosingVolume;
    iface->mount_enclosing_volume_finish = MountEnclosingVolumeFinish;
    iface->get_path = GetPath;
    iface->find_enclosing_mount = FindEnclosingMount;
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
        EXPECT_TRUE(WaitForLateMountWork(std::chrono::steady_clock::now() + 5s));
        g_folder.clear();
        g_unmounted = 0;
    }

    static std::size_t OpenFiles()
    {
        const std::filesystem::directory_iterator fds("/proc/self/fd");
        return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
    }

    static std::chrono::milliseconds Mount(ShareMounter &mounter, int &result)
    {
        MountRequest request;
        // A name, not an address: the mounter checks the SMB ports of an address first, and the fake backend
        // stands for a server that is not there.
        request.server = "stuck-device";
        request.share = "HDD_1";
        request.anonymous = true;
        request.password = "secret";
        std::string folder;
        const auto start = std::chrono::steady_clock::now();
        result = mounter.Mount(request, folder);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }
};

TEST_F(MountBoundTest, ABackendThatNeverAnswersIsGivenUpOnInTime)
{
    const struct
    {
        Backend backend;
        MountBounds bounds;
        std::chrono::milliseconds atLeast; // cancelled after the first bound, given up on after the second
    } cases[] = {
        {Backend::Stuck, {300ms, 300ms}, 550ms},
        {Backend::HonoursCancel, {300ms, 20s}, 250ms},
    };
    for (const auto &c : cases)
    {
        g_backend = c.backend;
        const auto mounter = CreateGioMounter(c.bounds);
        int result = NO_ERROR;
        const auto elapsed = Mount(*mounter, result);
        EXPECT_EQ(result, ERROR_BAD_NETPATH);
        EXPECT_GE(elapsed, c.atLeast);
        EXPECT_LT(elapsed, 8s);
    }
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

TEST_F(MountBoundTest, UnderADeadlineTheMountEndsInTimeAndAShareThatCameTooLateIsUnmounted)
{
    const struct
    {
        const char *name;
        Backend backend;
        std::string folder;
        int result;
    } cases[] = {
        {"the server answers just after the deadline", Backend::MountsWhenCancelled, "/", ERROR_BAD_NETPATH},
        {"the share's folder never appears", Backend::Mounts, "/nonexistent-izuzez-folder", ERROR_BAD_DEVICE},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        g_backend = c.backend;
        g_folder = c.folder;
        g_unmounted = 0;
        g_mountAnswered = false;
        const auto mounter = CreateGioMounter({20s, 20s});
        int result = NO_ERROR;
        std::chrono::milliseconds elapsed;
        {
            const izuzez::test::ScopedConnectDeadline bound(std::chrono::steady_clock::now() + 500ms);
            elapsed = Mount(*mounter, result);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_LT(elapsed, 1500ms) << "the deadline is a bound";
        if (c.backend == Backend::MountsWhenCancelled)
        {
            EXPECT_FALSE(g_mountAnswered) << "the mount waited past the deadline";
        }
        EXPECT_TRUE(WaitForLateMountWork(std::chrono::steady_clock::now() + 5s));
        EXPECT_EQ(g_unmounted, 1) << "the share stays mounted with no letter";
    }
}

TEST_F(MountBoundTest, ManyExchangesOnThreadsOfTheirOwnLeaveNothingBehind)
{
    // As the window does: every mount and unmount on a new thread, some given up on.
    g_folder = "/";
    const auto mounter = CreateGioMounter({200ms, 50ms});
    const auto exchange = [&mounter](Backend backend)
    {
        std::thread worker(
            [&mounter, backend]
            {
                g_backend = backend;
                int result = NO_ERROR;
                Mount(*mounter, result);
                EXPECT_EQ(result, backend == Backend::Mounts ? NO_ERROR : ERROR_BAD_NETPATH);
            });
        worker.join();
        std::thread([&mounter] { EXPECT_EQ(mounter->Unmount("stuck-device", "HDD_1", true), NO_ERROR); }).join();
    };
    exchange(Backend::Mounts);
    const std::size_t before = OpenFiles();
    for (int i = 0; i < 24; ++i)
        exchange(i % 4 == 0 ? Backend::Stuck : i % 4 == 1 ? Backend::LateAfterGiveUp : Backend::Mounts);
    EXPECT_LE(OpenFiles(), before + 2);
    EXPECT_EQ(g_unmounted, 25);
}

} // namespace
