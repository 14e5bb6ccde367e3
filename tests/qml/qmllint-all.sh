#!/bin/sh
# qmllint-all.sh <qmllint> <folder>...: runs qmllint on every .qml and .js file below the folders.
# Fails when qmllint fails or prints anything, or when there is no file to check.
set -u
qmllint=$1
shift
status=0
count=0
list=$(mktemp)
trap 'rm -f "$list"' EXIT
find "$@" -type f \( -name '*.qml' -o -name '*.js' \) | LC_ALL=C sort > "$list"
while IFS= read -r file; do
    count=$((count + 1))
    output=$("$qmllint" "$file" 2>&1)
    result=$?
    if [ $result -ne 0 ] || [ -n "$output" ]; then
        echo "qmllint: $file (exit $result)"
        [ -n "$output" ] && printf '%s\n' "$output"
        status=1
    fi
done < "$list"
if [ $count -eq 0 ]; then
    echo "qmllint: no QML or JavaScript file found in $*"
    exit 1
fi
echo "qmllint: $count files checked"
exit $status
