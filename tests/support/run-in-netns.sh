#!/bin/sh
# run-in-netns.sh <QtTest binary> [test arguments...]
# Runs every test function of the binary in a process of its own, each inside a new network
# namespace with only loopback up (in-netns.sh), so that fixed ports and broadcasts stay inside
# the test. Exits 77 (skipped) where no network namespace can be made.
set -u
here=$(dirname "$0")
binary=$1
shift

functions=$("$binary" -functions) || exit 1
status=0
count=0
for function in $functions; do
    function=${function%"()"}
    count=$((count + 1))
    sh "$here/in-netns.sh" "$binary" "$function" "$@"
    result=$?
    if [ "$result" -eq 77 ]; then
        exit 77
    elif [ "$result" -ne 0 ]; then
        status=1
    fi
done
if [ "$count" -eq 0 ]; then
    echo "no test functions in $binary"
    exit 1
fi
exit $status
