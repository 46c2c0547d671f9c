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
constexpr int kRequests[] = {SIGTERM, SIGINT};

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a pending request; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(requestPipe[1], &byte, 1);
    errno = savedErrno;
}

// Empties the pipe; true when it held a request.
bool takeRequests() {
    char bytes[64];
    bool requested = false;
    while (::read(requestPipe[0], bytes, sizeof bytes) > 0) requested = true;
    return requested;
}

}  // namespace

bool holdTerminationRequests() {
    if (requestPipe[0] >= 0) return true;
    if (::pipe2(requestPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        requestPipe[0] = requestPipe[1] = -1;
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t requests;
    sigemptyset(&requests);
    bool held = true;
    for (const int signalNumber : kRequests) {
        sigaddset(&requests, signalNumber);
        if (::sigaction(signalNumber, &action, nullptr) != 0) held = false;
    }
    return ::sigprocmask(SIG_UNBLOCK, &requests, nullptr) == 0 && held;
}

void watchTerminationRequests(QObject* parent, std::function<void()> onRequest) {
    if (requestPipe[0] < 0) return;
    auto* notifier = new QSocketNotifier(requestPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [request = std::move(onRequest)] {
                         if (takeRequests()) request();
                     });
}

void releaseTerminationRequests() {
    for (const int signalNumber : kRequests) ::signal(signalNumber, SIG_DFL);
    if (requestPipe[0] >= 0 && takeRequests()) ::raise(SIGTERM);
}

}  // namespace korvex
