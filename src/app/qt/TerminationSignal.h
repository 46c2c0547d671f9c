#pragma once
// The system's request to end the process (SIGTERM or SIGINT on POSIX), delivered to the event
// loop so that the program can shut down in order: a supervisor, a service manager or a test asks
// the program to quit and gets the same shutdown as the tray's exit command, shutdown file
// included, instead of a kill that a watchdog would take for a crash.

#include <functional>

class QObject;

namespace korvex {

// Calls `onRequest` on the thread of the event loop, from inside the loop (never from the signal
// handler), once for the requests that arrived since it last ran. `parent` owns the notifier; call
// once, after the application object exists. Returns false when the platform has no such request or
// it could not be watched; the process then keeps the system's default reaction.
bool watchTerminationRequests(QObject* parent, std::function<void()> onRequest);

}  // namespace korvex
