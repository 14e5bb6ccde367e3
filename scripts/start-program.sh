#!/usr/bin/env bash
# Starts the built program as the run command does: start-program.sh <program> [arguments...]
# With no display at all it runs offscreen, drawn by Qt Quick's software renderer (the offscreen
# platform has no OpenGL).
set -euo pipefail
program=$1
shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: starting the program with QT_QPA_PLATFORM=offscreen and QT_QUICK_BACKEND=software"
    export QT_QPA_PLATFORM=offscreen
    export QT_QUICK_BACKEND="${QT_QUICK_BACKEND:-software}"
fi
exec "$program" "$@"
