#!/bin/sh
# Watchdog: starts the program again whenever it ends without leaving its shutdown file.
# Arguments: the program file's full path, the shutdown (semaphore) file's full path.
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
    [ -e "$semaphore" ] && break
done
rm -f -- "$semaphore" "$0" 2>/dev/null
exit 0
