#include "report/paint/headroom.h"

#include <QSemaphore>
#include <QString>
#include <QThreadPool>
#include <QtGlobal>

#include <atomic>
#include <new>
#include <sys/mman.h>

namespace vantero::report {
namespace {

// A fill's share of a picture needs a few buffers of scan lines on its
// stack, not the megabytes a thread is given by default.
constexpr unsigned fillStackBytes = 512 * 1024;

std::atomic<bool> lost{false};

// Qt tells of a thread the system refused to make (and does nothing else
// about it): the message is watched while the pool starts its thread.
QtMessageHandler passOn = nullptr;
bool refused = false;

void watchThreadStart(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("QThread::start: Thread creation error"))) {
        refused = true;
        return;
    }
    passOn(type, context, message);
}

class ThreadStartWatch {
public:
    ThreadStartWatch() {
        refused = false;
        passOn = qInstallMessageHandler(watchThreadStart);
    }
    ~ThreadStartWatch() { qInstallMessageHandler(passOn); }
    ThreadStartWatch(const ThreadStartWatch&) = delete;
    ThreadStartWatch& operator=(const ThreadStartWatch&) = delete;
};

} // namespace

void ensureMemory(std::size_t bytes) {
    if (bytes == 0) {
        return;
    }
    void* const taken =
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (taken == MAP_FAILED) {
        throw std::bad_alloc();
    }
    munmap(taken, bytes);
}

void ensureFillThread() {
    if (lost) {
        throw std::bad_alloc();
    }
    QThreadPool* const pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(1);
    pool->setExpiryTimeout(-1);
    pool->setStackSize(fillStackBytes);
    // Once it has run this, the pool's thread exists and stays; the raster
    // engine's fills queue for it and never ask for another.
    QSemaphore ran;
    {
        const ThreadStartWatch watch;
        pool->start([&ran] { ran.release(); });
    }
    if (refused) {
        lost = true;
        throw std::bad_alloc();
    }
    ran.acquire();
}

bool fillThreadLost() {
    return lost;
}

} // namespace vantero::report
