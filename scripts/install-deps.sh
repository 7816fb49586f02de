#!/usr/bin/env bash
# Installs the Debian 12 packages the designer needs to build, run and test.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    libjpeg62-turbo-dev libpng-dev zlib1g-dev libssl-dev openssl
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
