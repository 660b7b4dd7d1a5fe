#include "platform/linux/ShareMounter.h"

#include "platform/NetworkDrives.h"
#include "platform/WinError.h"
#include "platform/linux/TcpProbe.h"

#include "platform/linux/GlibHome.h"

#include <gio/gio.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace izuzez::platform
{

namespace
{

using Clock = std::chrono::steady_clock;

// GIO asks again and again while a server refuses what it was told; one answer with the given credentials
// and, when interactive, a few with what the person types.
constexpr int kGivenAnswers = 1;
constexpr int kPromptedAnswers = 3;
// An absent device would hold a mount for its whole limit; the SMB ports tell within a few seconds.
constexpr auto kProbeWindow = std::chrono::milliseconds(5000);
const std::vector<std::uint16_t> kSmbPorts = {445, 139};
constexpr auto kFolderWait = std::chrono::milliseconds(3000);
constexpr auto kFolderPoll = std::chrono::milliseconds(50);
// GVfs's answer about a share it has just mounted is on its way: it gets this long even at the deadline.
constexpr auto kPathLookupFloor = std::chrono::milliseconds(500);
// gvfsd-fuse drops an unmounted share from its listing at once, but the kernel still resolves the folder's
// name for the entry's timeout (a second): a share mounted again meanwhile is reached through the dead entry,
// and making files there fails with EIO. An unmount waits this long at most for the name to go.
constexpr auto kFolderGone = std::chrono::milliseconds(2000);
// How long the unmount of a share that came up too late may take, in the background.
constexpr auto kLateUnmount = std::chrono::milliseconds(3000);
// The home thread decides when a wait is given up on; this much later the caller leaves on its own, should
// the home thread be held up.
constexpr auto kHomeSlack = std::chrono::milliseconds(2000);

void Erase(std::string &secret)
{
    explicit_bzero(secret.data(), secret.size());
}

// The exchanges nobody waits for any more whose answer has not come: the late work.
std::mutex g_lateMutex;
std::condition_variable g_lateChanged;
int g_late = 0;

void AddLate(int delta)
{
    std::lock_guard lock(g_lateMutex);
    g_late += delta;
    g_lateChanged.notify_all();
}

// One mount or unmount. The caller and GIO share it: GIO's side lives on the GLib home thread and is
// released when GIO answers, so a late answer frees what it holds.
struct Exchange
{
    MountRequest request;
    std::string uri;
    std::chrono::milliseconds cancelAfter{0};
    std::chrono::milliseconds giveUpAfter{0};
    bool force = false;

    std::mutex mutex;
    std::condition_variable settled;
    bool done = false;
    bool gaveUp = false;    // nobody waits any more (or nobody ever did)
    bool prompting = false; // the person is being asked: the caller's own bound stands still
    int answers = 0;
    bool refused = false; // we stopped answering: the server kept refusing
    bool cancelledByPerson = false;
    bool notMounted = false; // an unmount found no mount
    std::string folder;      // an unmount's: the share's local folder, when it has one
    GError *error = nullptr;

    // Home thread only.
    GFile *file = nullptr;
    GMountOperation *op = nullptr;
    GCancellable *cancellable = nullptr;
    GMount *mount = nullptr;
    GSource *cancelTimer = nullptr;
    GSource *giveUpTimer = nullptr;

    ~Exchange()
    {
        g_clear_error(&error);
        Erase(request.password);
    }
};
using ExchangePtr = std::shared_ptr<Exchange>;

gpointer Hold(const ExchangePtr &exchange)
{
    return new ExchangePtr(exchange);
}

void Drop(gpointer holder)
{
    delete static_cast<ExchangePtr *>(holder);
}

Exchange &Held(gpointer holder)
{
    return **static_cast<ExchangePtr *>(holder);
}

void Answer(GMountOperation *op, const std::string &user, const std::string &domain, const std::string &password,
            bool anonymous, GAskPasswordFlags flags)
{
    if (anonymous && (flags & G_ASK_PASSWORD_ANONYMOUS_SUPPORTED) != 0)
        g_mount_operation_set_anonymous(op, TRUE);
    else
    {
        g_mount_operation_set_anonymous(op, FALSE);
        g_mount_operation_set_username(op, user.c_str());
        g_mount_operation_set_domain(op, domain.c_str());
        g_mount_operation_set_password(op, password.c_str());
    }
    g_mount_operation_set_password_save(op, G_PASSWORD_SAVE_NEVER);
    g_mount_operation_reply(op, G_MOUNT_OPERATION_HANDLED);
}

// The person's answer, or nothing when he cancelled; the caller's bound waits for him.
std::optional<Credentials> AskThePerson(Exchange &exchange)
{
    {
        std::lock_guard lock(exchange.mutex);
        exchange.prompting = true;
    }
    std::optional<Credentials> typed = CurrentCredentialPrompt()(exchange.request.remoteName);
    std::lock_guard lock(exchange.mutex);
    exchange.prompting = false;
    exchange.settled.notify_all();
    return typed;
}

void OnAskPassword(GMountOperation *op, const char *, const char *, const char *, GAskPasswordFlags flags,
                   gpointer data)
{
    auto &exchange = *static_cast<Exchange *>(data);
    const MountRequest &request = exchange.request;
    {
        std::lock_guard lock(exchange.mutex);
        if (exchange.gaveUp)
        {
            // No more questions for an exchange nobody waits for.
            g_mount_operation_reply(op, G_MOUNT_OPERATION_ABORTED);
            return;
        }
    }
    ++exchange.answers;
    if (exchange.answers <= kGivenAnswers)
    {
        Answer(op, request.user, request.domain, request.password, request.anonymous, flags);
        return;
    }
    if (request.interactive && CurrentCredentialPrompt() && exchange.answers <= kGivenAnswers + kPromptedAnswers)
    {
        std::optional<Credentials> typed = AskThePerson(exchange);
        if (!typed)
        {
            exchange.cancelledByPerson = true;
            g_mount_operation_reply(op, G_MOUNT_OPERATION_ABORTED);
            return;
        }
        std::string user = typed->userName;
        std::string domain;
        if (const std::size_t slash = user.find('\\'); slash != std::string::npos)
        {
            domain = user.substr(0, slash);
            user.erase(0, slash + 1);
        }
        Answer(op, user, domain, typed->password, user.empty() && typed->password.empty(), flags);
        Erase(typed->password);
        return;
    }
    exchange.refused = true;
    g_mount_operation_reply(op, G_MOUNT_OPERATION_ABORTED);
}

// Marks the exchange given up on by its caller; from then on its answer is late work.
void GiveUp(Exchange &exchange)
{
    std::lock_guard lock(exchange.mutex);
    if (exchange.done || exchange.gaveUp)
        return;
    exchange.gaveUp = true;
    AddLate(1);
    exchange.settled.notify_all();
}

gboolean OnCancelTimer(gpointer holder)
{
    Exchange &exchange = Held(holder);
    exchange.cancelTimer = nullptr; // cancelling may answer at once, and the answer drops the timers
    g_cancellable_cancel(exchange.cancellable);
    return G_SOURCE_REMOVE;
}

gboolean OnGiveUpTimer(gpointer holder)
{
    Exchange &exchange = Held(holder);
    exchange.giveUpTimer = nullptr;
    GiveUp(exchange);
    return G_SOURCE_REMOVE;
}

GSource *AttachTimer(const ExchangePtr &exchange, std::chrono::milliseconds after, GSourceFunc callback)
{
    GSource *timer = g_timeout_source_new(static_cast<guint>(std::max<std::int64_t>(after.count(), 0)));
    g_source_set_callback(timer, callback, Hold(exchange), Drop);
    g_source_attach(timer, GlibHomeContext());
    g_source_unref(timer); // the context holds it until it fires or is destroyed
    return timer;
}

// At the cancel time the operation is cancelled, and GIO then finishes it with G_IO_ERROR_CANCELLED; a
// backend that ignores that is given up on at the give-up time.
void StartTimers(const ExchangePtr &exchange, bool waited)
{
    exchange->cancellable = g_cancellable_new();
    exchange->cancelTimer = AttachTimer(exchange, exchange->cancelAfter, OnCancelTimer);
    if (waited)
        exchange->giveUpTimer = AttachTimer(exchange, exchange->cancelAfter + exchange->giveUpAfter, OnGiveUpTimer);
}

// GIO has answered: the timers and the GIO objects go, and the caller learns the result. Returns true when
// the caller had left: then the answer was late work, which the callback ends.
bool Settle(Exchange &exchange, GError *error)
{
    for (GSource **timer : {&exchange.cancelTimer, &exchange.giveUpTimer})
    {
        if (*timer != nullptr)
            g_source_destroy(*timer);
        *timer = nullptr;
    }
    if (exchange.op != nullptr)
    {
        g_signal_handlers_disconnect_by_data(exchange.op, &exchange);
        // The operation keeps its own copy of the password until it is finalized.
        if (const char *password = g_mount_operation_get_password(exchange.op); password != nullptr)
            explicit_bzero(const_cast<char *>(password), strlen(password));
        g_clear_object(&exchange.op);
    }
    g_clear_object(&exchange.mount);
    g_clear_object(&exchange.cancellable);
    g_clear_object(&exchange.file);
    std::lock_guard lock(exchange.mutex);
    if (exchange.gaveUp)
    {
        g_clear_error(&error);
        return true;
    }
    exchange.error = error;
    exchange.done = true;
    exchange.settled.notify_all();
    return false;
}

void UnmountLater(const std::string &uri);

void OnMounted(GObject *source, GAsyncResult *result, gpointer holder)
{
    Exchange &exchange = Held(holder);
    GError *error = nullptr;
    const bool mounted = g_file_mount_enclosing_volume_finish(G_FILE(source), result, &error) != FALSE;
    const std::string uri = exchange.uri;
    // A share that came up after its caller left would stay mounted with no letter.
    if (Settle(exchange, error))
    {
        if (mounted)
            UnmountLater(uri);
        AddLate(-1);
    }
    Drop(holder);
}

void OnUnmounted(GObject *source, GAsyncResult *result, gpointer holder)
{
    GError *error = nullptr;
    g_mount_unmount_with_operation_finish(G_MOUNT(source), result, &error);
    if (Settle(Held(holder), error))
        AddLate(-1);
    Drop(holder);
}

// Home thread: the share's mount, or none (then `error` says why), is unmounted.
void FoundMount(const ExchangePtr &exchange, GMount *mount, GError *error)
{
    exchange->mount = mount;
    if (mount == nullptr)
    {
        if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        {
            g_clear_error(&error);
            exchange->notMounted = true; // already gone
        }
        if (Settle(*exchange, error))
            AddLate(-1);
        return;
    }
    g_clear_error(&error);
    g_mount_unmount_with_operation(mount, exchange->force ? G_MOUNT_UNMOUNT_FORCE : G_MOUNT_UNMOUNT_NONE, nullptr,
                                   exchange->cancellable, OnUnmounted, Hold(exchange));
}

void StartMount(const ExchangePtr &exchange)
{
    exchange->file = g_file_new_for_uri(exchange->uri.c_str());
    exchange->op = g_mount_operation_new();
    g_signal_connect(exchange->op, "ask-password", G_CALLBACK(OnAskPassword), exchange.get());
    StartTimers(exchange, true);
    g_file_mount_enclosing_volume(exchange->file, G_MOUNT_MOUNT_NONE, exchange->op, exchange->cancellable, OnMounted,
                                  Hold(exchange));
}

// The mount is found with the blocking call on a thread of its own (cancelled with the exchange): the
// asynchronous lookup answers a mount GVfs's client has already seen (the folder of a share this process
// mounted) through the process's global main context, which the home thread does not run.
void StartUnmount(const ExchangePtr &exchange, bool waited)
{
    exchange->file = g_file_new_for_uri(exchange->uri.c_str());
    StartTimers(exchange, waited);
    std::thread(
        [exchange, waited, file = G_FILE(g_object_ref(exchange->file)),
         cancellable = G_CANCELLABLE(g_object_ref(exchange->cancellable))]
        {
            GError *error = nullptr;
            GMount *mount = g_file_find_enclosing_mount(file, cancellable, &error);
            if (mount != nullptr && waited)
            {
                char *path = g_file_get_path(file);
                std::lock_guard lock(exchange->mutex);
                exchange->folder = path != nullptr ? path : "";
                g_free(path);
            }
            g_object_unref(file);
            g_object_unref(cancellable);
            RunAtGlibHome([exchange, mount, error] { FoundMount(exchange, mount, error); });
        })
        .detach();
}

// A forced unmount that nobody waits for, bounded by kLateUnmount.
void UnmountLater(const std::string &uri)
{
    auto exchange = std::make_shared<Exchange>();
    exchange->uri = uri;
    exchange->force = true;
    exchange->cancelAfter = kLateUnmount;
    exchange->gaveUp = true;
    AddLate(1);
    RunAtGlibHome([exchange] { StartUnmount(exchange, false); });
}

// Waits until the home thread settles the exchange or gives up on it. The caller leaves on its own kHomeSlack
// after the give-up time, unless the person is still being asked. False when it was given up on.
bool WaitFor(Exchange &exchange)
{
    auto until = Clock::now() + exchange.cancelAfter + exchange.giveUpAfter + kHomeSlack;
    std::unique_lock lock(exchange.mutex);
    while (!exchange.done && !exchange.gaveUp)
    {
        if (exchange.settled.wait_until(lock, until) != std::cv_status::timeout)
            continue;
        if (exchange.prompting)
        {
            until = Clock::now() + exchange.giveUpAfter + kHomeSlack;
            continue;
        }
        lock.unlock();
        GiveUp(exchange);
        lock.lock();
    }
    return exchange.done;
}

int MountError(const Exchange &exchange)
{
    if (exchange.refused)
        return ERROR_LOGON_FAILURE;
    if (exchange.cancelledByPerson)
        return ERROR_CANCELLED;
    if (exchange.error == nullptr)
        return ERROR_EXTENDED_ERROR; // the bounded wait ran out
    if (exchange.error->domain != G_IO_ERROR)
        return ERROR_EXTENDED_ERROR;
    switch (exchange.error->code)
    {
    case G_IO_ERROR_PERMISSION_DENIED:
        return ERROR_ACCESS_DENIED;
    case G_IO_ERROR_FAILED_HANDLED:
        return ERROR_LOGON_FAILURE;
    case G_IO_ERROR_NOT_FOUND:
        return ERROR_BAD_NET_NAME;
    case G_IO_ERROR_HOST_NOT_FOUND:
    case G_IO_ERROR_HOST_UNREACHABLE:
    case G_IO_ERROR_NETWORK_UNREACHABLE:
    case G_IO_ERROR_CONNECTION_REFUSED:
    case G_IO_ERROR_TIMED_OUT:
    case G_IO_ERROR_CANCELLED:
        return ERROR_BAD_NETPATH;
    case G_IO_ERROR_NOT_SUPPORTED:
    case G_IO_ERROR_NOT_MOUNTABLE_FILE:
        return ERROR_NO_NETWORK; // no GVfs on the session bus
    default:
        return ERROR_EXTENDED_ERROR;
    }
}

// The FUSE folder of a mounted share. gvfsd-fuse learns of a new mount a moment after it is made, so the
// folder is given a short while to appear, ending at `until`; without gvfsd-fuse there is none.
int FolderOf(const std::string &uri, Clock::time_point until, std::string &localPath)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    localPath = GvfsLocalPath(uri, std::max(left, kPathLookupFloor));
    if (localPath.empty())
        return ERROR_BAD_DEVICE;
    for (;;)
    {
        if (g_file_test(localPath.c_str(), G_FILE_TEST_IS_DIR))
            return NO_ERROR;
        if (Clock::now() + kFolderPoll > until)
            return ERROR_BAD_DEVICE;
        std::this_thread::sleep_for(kFolderPoll);
    }
}

// Returns once the unmounted share's folder no longer resolves, or after kFolderGone.
void WaitUntilGone(const std::string &folder)
{
    if (folder.empty())
        return;
    const Clock::time_point until = Clock::now() + kFolderGone;
    while (g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR) && Clock::now() + kFolderPoll <= until)
        std::this_thread::sleep_for(kFolderPoll);
}

// The given limit, or less when a connect deadline comes first (then possibly zero or below).
std::chrono::milliseconds Limit(std::chrono::milliseconds own)
{
    const auto deadline = ConnectDeadline();
    if (!deadline)
        return own;
    return std::min(own, std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()));
}

class GioMounter : public ShareMounter
{
public:
    explicit GioMounter(MountBounds bounds) : m_bounds(bounds) {}

    int Mount(const MountRequest &request, std::string &localPath) override
    {
        if (Limit(m_bounds.cancelAfter).count() <= 0)
            return ERROR_BAD_NETPATH;
        const ProbeResult probe =
            ProbeTcp(request.server, kSmbPorts, std::min(kProbeWindow, Limit(m_bounds.cancelAfter)));
        if (probe == ProbeResult::Refused || probe == ProbeResult::NoAnswer)
            return ERROR_BAD_NETPATH;
        const std::chrono::milliseconds limit = Limit(m_bounds.cancelAfter);
        if (limit.count() <= 0)
            return ERROR_BAD_NETPATH;
        auto exchange = std::make_shared<Exchange>();
        exchange->request = request;
        exchange->uri = SmbUri(request.server, request.share);
        exchange->cancelAfter = limit;
        // The deadline is a bound: what comes after it is the home thread's to clear away.
        exchange->giveUpAfter = ConnectDeadline() ? std::chrono::milliseconds(0) : m_bounds.giveUpAfter;
        RunAtGlibHome([exchange] { StartMount(exchange); });
        if (!WaitFor(*exchange))
            return ERROR_BAD_NETPATH;
        if (exchange->error != nullptr && !g_error_matches(exchange->error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED))
            return MountError(*exchange);
        const auto deadline = ConnectDeadline();
        const Clock::time_point until =
            std::min(Clock::now() + kFolderWait, deadline.value_or(Clock::time_point::max()));
        const int result = FolderOf(exchange->uri, until, localPath);
        if (result == ERROR_BAD_DEVICE)
            UnmountLater(exchange->uri);
        return result;
    }

    int Unmount(const std::string &server, const std::string &share, bool force) override
    {
        auto exchange = std::make_shared<Exchange>();
        exchange->uri = SmbUri(server, share);
        exchange->force = force;
        // An unmount is no connection: under a connect deadline it still gets a short bound of its own.
        exchange->cancelAfter =
            ConnectDeadline() ? std::min(m_bounds.cancelAfter / 2, kLateUnmount) : m_bounds.cancelAfter / 2;
        exchange->giveUpAfter = ConnectDeadline() ? std::chrono::milliseconds(0) : m_bounds.giveUpAfter;
        RunAtGlibHome([exchange] { StartUnmount(exchange, true); });
        if (!WaitFor(*exchange))
            return ERROR_OPEN_FILES;
        if (exchange->notMounted)
            return NO_ERROR;
        if (exchange->error == nullptr)
        {
            WaitUntilGone(exchange->folder);
            return NO_ERROR;
        }
        return g_error_matches(exchange->error, G_IO_ERROR, G_IO_ERROR_BUSY) ? ERROR_OPEN_FILES : ERROR_EXTENDED_ERROR;
    }

private:
    MountBounds m_bounds;
};

// GVfs's answer about one path. The caller and the thread that asks share it, so that an answer after the
// caller left finds it still there.
struct PathLookup
{
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    std::string path;
};

} // namespace

// The blocking call, on a thread of its own: the asynchronous lookups answer a mount GVfs's client has
// already seen through the process's global main context, which the home thread does not run.
std::string GvfsLocalPath(const std::string &uri, std::chrono::milliseconds bound)
{
    // The home thread keeps a session bus that goes away from ending the program; GVfs's client shares it.
    GlibHomeContext();
    auto lookup = std::make_shared<PathLookup>();
    std::thread(
        [lookup, uri]
        {
            GFile *file = g_file_new_for_uri(uri.c_str());
            char *path = g_file_get_path(file);
            g_object_unref(file);
            std::lock_guard lock(lookup->mutex);
            lookup->path = path != nullptr ? path : "";
            lookup->done = true;
            lookup->answered.notify_all();
            g_free(path);
        })
        .detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->answered.wait_for(lock, bound, [&] { return lookup->done; }))
        return {};
    return lookup->path;
}

std::string SmbUri(const std::string &server, const std::string &share)
{
    char *host = g_uri_escape_string(server.c_str(), G_URI_RESERVED_CHARS_SUBCOMPONENT_DELIMITERS, FALSE);
    char *path = g_uri_escape_string(share.c_str(), nullptr, FALSE);
    std::string uri = std::string("smb://") + host + "/" + path;
    g_free(host);
    g_free(path);
    return uri;
}

std::unique_ptr<ShareMounter> CreateGioMounter(MountBounds bounds)
{
    return std::make_unique<GioMounter>(bounds);
}

bool WaitForLateMountWork(std::chrono::steady_clock::time_point until)
{
    std::unique_lock lock(g_lateMutex);
    return g_lateChanged.wait_until(lock, until, [] { return g_late == 0; });
}

} // namespace izuzez::platform
