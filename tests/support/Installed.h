#pragma once

#include "platform/NetworkDrives.h"
#include "platform/SystemInfo.h"
#include "platform/WebAccess.h"
#include "services/WaitClock.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace izuzez::test
{

namespace detail
{
// The process-wide layers a test may replace, and what the guards put in each, the one in place last.
template <class Interface> std::vector<std::shared_ptr<Interface>> &Placed()
{
    static std::vector<std::shared_ptr<Interface>> placed;
    return placed;
}
// Puts `top` in place (nullptr: the backend).
void PutInPlace(const std::shared_ptr<platform::NetworkDrives> &top);
void PutInPlace(const std::shared_ptr<platform::SystemInfo> &top);
void PutInPlace(const std::shared_ptr<platform::WebAccess> &top);
void PutInPlace(const std::shared_ptr<services::WaitClock> &top);
platform::NetworkDrives *InterfaceOf(platform::NetworkDrives *);
platform::SystemInfo *InterfaceOf(platform::SystemInfo *);
platform::WebAccess *InterfaceOf(platform::WebAccess *);
services::WaitClock *InterfaceOf(services::WaitClock *);
} // namespace detail

// Makes a Layer (a fake, or any implementation of one of the layers above) and puts it in place for the
// guard's life; then the layer the guard before put there comes back, or the backend.
template <class Layer> class Installed
{
    using Interface = std::remove_pointer_t<decltype(detail::InterfaceOf(static_cast<Layer *>(nullptr)))>;

public:
    template <class... Args>
    explicit Installed(Args &&...args) : m_layer(std::make_shared<Layer>(std::forward<Args>(args)...))
    {
        detail::Placed<Interface>().push_back(m_layer);
        detail::PutInPlace(detail::Placed<Interface>().back());
    }
    ~Installed()
    {
        auto &placed = detail::Placed<Interface>();
        placed.erase(std::find(placed.begin(), placed.end(), m_layer));
        detail::PutInPlace(placed.empty() ? nullptr : placed.back());
    }
    Installed(const Installed &) = delete;
    Installed &operator=(const Installed &) = delete;

    Layer *operator->() const { return static_cast<Layer *>(m_layer.get()); }
    Layer &operator*() const { return *operator->(); }

private:
    std::shared_ptr<Interface> m_layer;
};

// The connect deadline for the guard's life; the one before comes back after.
class ScopedConnectDeadline
{
public:
    explicit ScopedConnectDeadline(std::optional<std::chrono::steady_clock::time_point> deadline)
        : m_before(platform::ConnectDeadline())
    {
        platform::SetConnectDeadline(deadline);
    }
    ~ScopedConnectDeadline() { platform::SetConnectDeadline(m_before); }
    ScopedConnectDeadline(const ScopedConnectDeadline &) = delete;
    ScopedConnectDeadline &operator=(const ScopedConnectDeadline &) = delete;

private:
    std::optional<std::chrono::steady_clock::time_point> m_before;
};

} // namespace izuzez::test
