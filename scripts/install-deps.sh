#!/usr/bin/env bash
# Installs the Debian 12 packages the designer needs to build, run, test and package. Only the
# missing ones are asked for, so a run with everything in place touches neither the network nor
# apt's lists and returns at once.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-l10n-tools
    libfontconfig-dev
    libjpeg62-turbo-dev libpng-dev zlib1g-dev libssl-dev openssl
    libgtest-dev libgmock-dev libbenchmark-dev
    # The test command refuses code clang-format would change.
    clang-format
    # DejaVu keeps the tests' pixels fixed; Open Sans and DSEG stand in for the phone's fonts.
    fonts-dejavu-core fonts-open-sans fonts-dseg
    # The Debian package (dpkg-shlibdeps finds its library dependencies) and the installed-tree
    # test's validators of the desktop entry and the AppStream file.
    dpkg-dev desktop-file-utils appstream
    # The end-to-end tests drive the real window on a virtual X display; "Помощь" opens the
    # help through xdg-open.
    xvfb xauth xdg-utils
)

# One query for all of them. A package removed with its configuration kept is still known to
# dpkg, so its state must be "installed", not merely present.
installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null |
    awk '$2 == "installed" { print $1 }' || true)
missing=()
for package in "${packages[@]}"; do
    grep -qxF -- "$package" <<<"$installed" || missing+=("$package")
done
if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

echo "Installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
