#!/bin/sh
# Watchdog: starts the program again whenever it ends without leaving its shutdown file.
# Arguments: the program file's full path, the shutdown (semaphore) file's full path.
# The program ends with status 69 when it cannot open the X display it was started on (the
# environment's DISPLAY, inherited by every restart): the desktop session has ended, and every
# further restart would fail the same way, so the watchdog stops there too.
[ $# -ge 2 ] || exit 0
program=$1
semaphore=$2
rm -f -- "$0" "$semaphore" 2>/dev/null
while :; do
    "$program" /NOSPLASH </dev/null >/dev/null 2>&1 &
    child=$!
    while kill -0 "$child" 2>/dev/null; do
        sleep 1
    done
    wait "$child" 2>/dev/null
    status=$?
    [ -e "$semaphore" ] && break
    [ "$status" -eq 69 ] && break
done
rm -f -- "$semaphore" "$0" 2>/dev/null
exit 0
