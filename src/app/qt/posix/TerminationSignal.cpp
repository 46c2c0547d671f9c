#include "app/qt/TerminationSignal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>

namespace korvex {
namespace {

// The self-pipe: the handler may only call async-signal-safe functions, so it writes one byte and
// the event loop does the rest.
int requestPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a pending request; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(requestPipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

bool watchTerminationRequests(QObject* parent, std::function<void()> onRequest) {
    if (requestPipe[0] >= 0) return false;  // one watcher per process
    if (::pipe2(requestPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        requestPipe[0] = requestPipe[1] = -1;
        return false;
    }
    auto* notifier = new QSocketNotifier(requestPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [request = std::move(onRequest)] {
                         char bytes[64];
                         bool requested = false;
                         while (::read(requestPipe[0], bytes, sizeof bytes) > 0) requested = true;
                         if (requested) request();
                     });

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool installed = true;
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        if (::sigaction(signalNumber, &action, nullptr) != 0) installed = false;
    }
    return installed;
}

}  // namespace korvex
