#pragma once

#include <QElapsedTimer>
#include <QTest>

namespace izuzez::test
{

// Runs the event loop until the condition holds or timeoutMs passes, and says whether it holds. The
// QTRY_ macros report to Qt Test's own log, which a GoogleTest case never sees; assert on this instead.
template <class Condition> bool WaitFor(Condition condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    return condition();
}

} // namespace izuzez::test
