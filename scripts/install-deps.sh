#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
# Idempotent: only missing packages are installed.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qtbase5-dev qtbase5-dev-tools qtbase5-private-dev qtdeclarative5-dev qtdeclarative5-private-dev
    libqt5serialport5-dev libqt5svg5-dev qtquickcontrols2-5-dev libxcb1-dev
    qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts
    qml-module-qtquick-controls2 qml-module-qtquick-dialogs qml-module-qtquick-shapes
    qml-module-qtgraphicaleffects qml-module-qttest qml-module-qtqml-models2
    qml-module-qtqml qml-module-qtquick-controls qml-module-qtquick-privatewidgets
    qml-module-qt-labs-folderlistmodel qml-module-qt-labs-settings qtdeclarative5-dev-tools
    xvfb xauth x11-utils libgl1-mesa-dri xdotool
    libssl-dev openssl
    iproute2
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
