#include "app/qt/TerminationSignal.h"

namespace korvex {

// Windows sends a windowed program no termination signal: it ends it through the session end or
// the task manager, which a watchdog rightly treats as a crash. There is nothing to watch.
bool watchTerminationRequests(QObject*, std::function<void()>) { return false; }

}  // namespace korvex
