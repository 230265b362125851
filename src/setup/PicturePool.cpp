#include "setup/PicturePool.h"

#include <QThreadPool>
#include <atomic>

namespace {

std::atomic_bool stopping = false;

} // namespace

namespace PicturePool {

QThreadPool &instance()
{
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(2);
        return true;
    }();
    Q_UNUSED(sized);
    return pool;
}

bool isStopping()
{
    return stopping.load();
}

void stop()
{
    // The decodes not yet begun run too, and give up at their first look: their waiters hear
    // that they have ended.
    stopping.store(true);
    instance().waitForDone();
    stopping.store(false);
}

} // namespace PicturePool
