#include "app/ExchangeWait.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <thread>

namespace
{

bool g_bWaiting = false;
QObject *g_pBlocker = nullptr; // the input blocker of the running wait

// Swallows user input for every object of the application while installed.
class InputBlocker : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type())
        {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        case QEvent::Close:
            // A window closed in the middle of an exchange would leave the handler without its dialog.
            if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

} // namespace

bool IsWaitingForExchange()
{
    return g_bWaiting;
}

void RunWithoutInput(const std::function<void()> &work)
{
    if (QCoreApplication::instance() == nullptr || g_bWaiting)
    {
        work();
        return;
    }
    g_bWaiting = true;
    InputBlocker blocker;
    QCoreApplication::instance()->installEventFilter(&blocker);
    g_pBlocker = &blocker;
    QApplication::setOverrideCursor(Qt::WaitCursor);

    QEventLoop loop;
    std::atomic<bool> done{false};
    std::thread worker(
        [&]
        {
            work();
            done = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    // The exchanges end at their own deadlines, so this wait is bounded by them.
    while (!done.load())
        loop.exec();
    worker.join();

    QApplication::restoreOverrideCursor();
    QCoreApplication::instance()->removeEventFilter(&blocker);
    g_pBlocker = nullptr;
    g_bWaiting = false;
}

void RunOnWindowThread(const std::function<void()> &task)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
    {
        task();
        return;
    }
    QMetaObject::invokeMethod(
        app,
        [&task]
        {
            QObject *blocker = g_pBlocker;
            if (blocker != nullptr)
            {
                QCoreApplication::instance()->removeEventFilter(blocker);
                QApplication::restoreOverrideCursor();
            }
            task();
            if (blocker != nullptr)
            {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                QCoreApplication::instance()->installEventFilter(blocker);
            }
        },
        Qt::BlockingQueuedConnection);
}
