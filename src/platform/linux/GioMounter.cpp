#include "platform/linux/ShareMounter.h"

#include "platform/NetworkDrives.h"
#include "platform/WinError.h"
#include "platform/linux/TcpProbe.h"

#include <gio/gio.h>

#include <algorithm>
#include <chrono>

namespace izuzez::platform
{

namespace
{

// GIO asks again and again while a server refuses what it was told; one answer with the given credentials
// and, when interactive, a few with what the person types.
constexpr int kGivenAnswers = 1;
constexpr int kPromptedAnswers = 3;
// Under a connect deadline a cancelled operation is waited for only briefly, as the deadline is a bound.
constexpr auto kDeadlineGrace = std::chrono::milliseconds(2000);
// An absent device would hold a mount for its whole limit; the SMB ports tell within a few seconds.
constexpr auto kProbeWindow = std::chrono::milliseconds(5000);
const std::vector<std::uint16_t> kSmbPorts = {445, 139};
constexpr int kFolderPolls = 60;
constexpr gulong kFolderPollMicroseconds = 50000;

// Lives on the heap: when the wait gives up on a backend that never finished, GIO may still call back
// later, and then the callback frees it.
struct Exchange
{
    MountRequest request;
    int answers = 0;
    bool refused = false; // we stopped answering: the server kept refusing
    bool cancelledByPerson = false;
    bool done = false;
    bool gaveUp = false;    // the hard bound ran out
    bool abandoned = false; // nobody waits any more; the late callback frees it
    GError *error = nullptr;
};

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

void OnAskPassword(GMountOperation *op, const char *, const char *, const char *, GAskPasswordFlags flags,
                   gpointer data)
{
    auto *exchange = static_cast<Exchange *>(data);
    const MountRequest &request = exchange->request;
    ++exchange->answers;
    if (exchange->answers <= kGivenAnswers)
    {
        Answer(op, request.user, request.domain, request.password, request.anonymous, flags);
        return;
    }
    const CredentialPrompt &prompt = CurrentCredentialPrompt();
    if (request.interactive && prompt && exchange->answers <= kGivenAnswers + kPromptedAnswers)
    {
        const std::optional<Credentials> typed = prompt(request.remoteName);
        if (!typed)
        {
            exchange->cancelledByPerson = true;
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
        return;
    }
    exchange->refused = true;
    g_mount_operation_reply(op, G_MOUNT_OPERATION_ABORTED);
}

// Marks the exchange done, or frees it when the wait gave up on it already.
void Finished(Exchange *exchange)
{
    if (!exchange->abandoned)
    {
        exchange->done = true;
        return;
    }
    g_clear_error(&exchange->error);
    delete exchange;
}

void OnMounted(GObject *source, GAsyncResult *result, gpointer data)
{
    auto *exchange = static_cast<Exchange *>(data);
    g_file_mount_enclosing_volume_finish(G_FILE(source), result, &exchange->error);
    Finished(exchange);
}

void OnUnmounted(GObject *source, GAsyncResult *result, gpointer data)
{
    auto *exchange = static_cast<Exchange *>(data);
    g_mount_unmount_with_operation_finish(G_MOUNT(source), result, &exchange->error);
    Finished(exchange);
}

gboolean OnDeadline(gpointer data)
{
    g_cancellable_cancel(G_CANCELLABLE(data));
    return G_SOURCE_REMOVE;
}

gboolean OnGiveUp(gpointer data)
{
    static_cast<Exchange *>(data)->gaveUp = true;
    return G_SOURCE_REMOVE;
}

GSource *AttachTimer(GMainContext *context, std::chrono::milliseconds after, GSourceFunc callback, gpointer data)
{
    GSource *timer = g_timeout_source_new(static_cast<guint>(after.count()));
    g_source_set_callback(timer, callback, data, nullptr);
    g_source_attach(timer, context);
    return timer;
}

void DropTimer(GSource *timer)
{
    g_source_destroy(timer);
    g_source_unref(timer);
}

// Runs the context until the exchange is done. At the cancel time the operation is cancelled, and GIO then
// finishes it with G_IO_ERROR_CANCELLED; a backend that ignores that is given up on by a timer of our own,
// which also wakes the context. An exchange given up on is left to its late callback (false).
bool RunUntilDone(GMainContext *context, GCancellable *cancellable, Exchange *exchange,
                  std::chrono::milliseconds cancelAfter, std::chrono::milliseconds giveUpAfter)
{
    GSource *deadline = AttachTimer(context, cancelAfter, OnDeadline, cancellable);
    GSource *giveUp = AttachTimer(context, cancelAfter + giveUpAfter, OnGiveUp, exchange);
    while (!exchange->done && !exchange->gaveUp)
        g_main_context_iteration(context, TRUE);
    DropTimer(deadline);
    DropTimer(giveUp);
    if (exchange->done)
        return true;
    exchange->abandoned = true;
    return false;
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
// folder is given a short, bounded while to appear; without gvfsd-fuse there is none.
int FolderOf(GFile *file, std::string &localPath)
{
    char *path = g_file_get_path(file);
    localPath = path != nullptr ? path : "";
    g_free(path);
    if (localPath.empty())
        return ERROR_BAD_DEVICE;
    for (int i = 0; i < kFolderPolls; ++i)
    {
        if (g_file_test(localPath.c_str(), G_FILE_TEST_IS_DIR))
            return NO_ERROR;
        g_usleep(kFolderPollMicroseconds);
    }
    return ERROR_BAD_DEVICE;
}

// A context of our own, so that the mount runs the same on any thread and beside Qt's event loop. It is
// kept for the thread's life: GIO may still hold work for it when a mount is done, and a context freed
// under that work would lose it.
class OwnContext
{
public:
    OwnContext() { g_main_context_push_thread_default(Get()); }
    ~OwnContext() { g_main_context_pop_thread_default(Get()); }
    OwnContext(const OwnContext &) = delete;
    OwnContext &operator=(const OwnContext &) = delete;
    GMainContext *get() const { return Get(); }

private:
    static GMainContext *Get()
    {
        static thread_local GMainContext *context = g_main_context_new();
        return context;
    }
};

// The given limit, or less when a connect deadline comes first (then possibly zero or below).
std::chrono::milliseconds Limit(std::chrono::milliseconds own)
{
    const auto deadline = ConnectDeadline();
    if (!deadline)
        return own;
    return std::min(
        own, std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now()));
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
        OwnContext context;
        const std::string uri = SmbUri(request.server, request.share);
        GFile *file = g_file_new_for_uri(uri.c_str());
        GMountOperation *op = g_mount_operation_new();
        GCancellable *cancellable = g_cancellable_new();
        auto *exchange = new Exchange;
        exchange->request = request;
        g_signal_connect(op, "ask-password", G_CALLBACK(OnAskPassword), exchange);
        g_file_mount_enclosing_volume(file, G_MOUNT_MOUNT_NONE, op, cancellable, OnMounted, exchange);
        const bool finished = RunUntilDone(context.get(), cancellable, exchange, limit, Grace());
        // No more questions for an exchange we no longer wait for.
        g_signal_handlers_disconnect_by_data(op, exchange);
        int result = NO_ERROR;
        if (!finished)
            result = ERROR_BAD_NETPATH;
        else if (exchange->error != nullptr &&
                 !g_error_matches(exchange->error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED))
            result = MountError(*exchange);
        if (result == NO_ERROR)
            result = FolderOf(file, localPath);
        if (finished)
        {
            g_clear_error(&exchange->error);
            delete exchange;
        }
        g_object_unref(cancellable);
        g_object_unref(op);
        g_object_unref(file);
        if (result == ERROR_BAD_DEVICE)
            Unmount(request.server, request.share, true);
        return result;
    }

    int Unmount(const std::string &server, const std::string &share, bool force) override
    {
        OwnContext context;
        const std::string uri = SmbUri(server, share);
        GFile *file = g_file_new_for_uri(uri.c_str());
        GMount *mount = g_file_find_enclosing_mount(file, nullptr, nullptr);
        g_object_unref(file);
        if (mount == nullptr)
            return NO_ERROR; // already gone
        GCancellable *cancellable = g_cancellable_new();
        auto *exchange = new Exchange;
        g_mount_unmount_with_operation(mount, force ? G_MOUNT_UNMOUNT_FORCE : G_MOUNT_UNMOUNT_NONE, nullptr,
                                       cancellable, OnUnmounted, exchange);
        const bool finished =
            RunUntilDone(context.get(), cancellable, exchange,
                         std::max(Limit(m_bounds.cancelAfter / 2), std::chrono::milliseconds(0)), Grace());
        int result = NO_ERROR;
        if (!finished)
            result = ERROR_OPEN_FILES;
        else if (exchange->error != nullptr)
            result =
                g_error_matches(exchange->error, G_IO_ERROR, G_IO_ERROR_BUSY) ? ERROR_OPEN_FILES : ERROR_EXTENDED_ERROR;
        if (finished)
        {
            g_clear_error(&exchange->error);
            delete exchange;
        }
        g_object_unref(cancellable);
        g_object_unref(mount);
        return result;
    }

private:
    // How long a cancelled operation is still waited for: briefly under a connect deadline.
    std::chrono::milliseconds Grace() const { return ConnectDeadline() ? kDeadlineGrace : m_bounds.giveUpAfter; }

    MountBounds m_bounds;
};

} // namespace

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

} // namespace izuzez::platform
