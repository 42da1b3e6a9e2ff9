#!/bin/sh
# Installs the Debian packages named on the command line that are not installed yet.
# As root it runs apt-get; otherwise it prints the one command to run and fails.
set -eu
missing=""
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
else
    echo "Missing packages. Run:"
    echo "    sudo apt-get install -y$missing"
    exit 1
fi
