#pragma once
// The system's request to end the process (SIGTERM or SIGINT on POSIX), delivered to the event
// loop so that the program can shut down in order: a supervisor, a service manager or a test asks
// the program to quit and gets the same shutdown as the tray's exit command, shutdown file
// included, instead of a kill that a watchdog would take for a crash.

#include <functional>

class QObject;

namespace korvex {

// Takes the requests from now on and holds them until they are watched, so that a request made
// while the program starts (right after a watchdog restart, say) still ends it in order. Also
// unblocks them: a request made before this call to a process started with them blocked is held
// too. Call first in main. Returns false when the platform has no such request or it could not be
// held; the process then keeps the system's default reaction.
bool holdTerminationRequests();

// Calls `onRequest` on the thread of the event loop, from inside the loop (never from the signal
// handler), once for the requests held or arrived since it last ran. `parent` owns the notifier;
// call once, after the application object exists.
void watchTerminationRequests(QObject* parent, std::function<void()> onRequest);

// Gives the requests back to the system's default reaction; a request already held ends the
// process now, as it would have without holding.
void releaseTerminationRequests();

}  // namespace korvex
