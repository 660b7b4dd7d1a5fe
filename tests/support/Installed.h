#pragma once

#include "platform/NetworkDrives.h"
#include "platform/SystemInfo.h"
#include "platform/WebAccess.h"
#include "services/WaitClock.h"

#include <chrono>
#include <memory>
#include <optional>
#include <utility>

namespace izuzez::test
{

// The process-wide layers a test may replace. Place puts a layer on top of what was placed before; Withdraw
// takes it away again and brings back the one beneath, or the backend when none is left.
void Place(const std::shared_ptr<platform::NetworkDrives> &layer);
void Place(const std::shared_ptr<platform::SystemInfo> &layer);
void Place(const std::shared_ptr<platform::WebAccess> &layer);
void Place(const std::shared_ptr<services::WaitClock> &layer);
void Withdraw(const platform::NetworkDrives *layer);
void Withdraw(const platform::SystemInfo *layer);
void Withdraw(const platform::WebAccess *layer);
void Withdraw(const services::WaitClock *layer);

// Makes a Layer (a fake, or any implementation of one of the layers above) and puts it in place for the
// guard's life, so that no test has to remember to take its fakes away again.
template <class Layer> class Installed
{
public:
    template <class... Args>
    explicit Installed(Args &&...args) : m_layer(std::make_shared<Layer>(std::forward<Args>(args)...))
    {
        Place(m_layer);
    }
    ~Installed() { Withdraw(m_layer.get()); }
    Installed(const Installed &) = delete;
    Installed &operator=(const Installed &) = delete;

    Layer *operator->() const { return m_layer.get(); }
    Layer &operator*() const { return *m_layer; }

private:
    std::shared_ptr<Layer> m_layer;
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
