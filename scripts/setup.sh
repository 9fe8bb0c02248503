#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent and non-interactive: when everything is present it only checks and returns.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config libgtest-dev
    # updater: window, FTP, archives
    qt6-base-dev libcurl4-openssl-dev libzip-dev zlib1g-dev
    # Firebird: client library, embedded engine, headers, isql/gbak, a server for loopback tests
    libfbclient2 firebird3.0-server-core firebird3.0-utils firebird-dev firebird3.0-server
    # tests and demo: FTP server, display for the window, fonts
    python3-pyftpdlib xvfb xauth fonts-dejavu-core
    # fuzzing the script parser
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    echo "setup: all packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"; }

# The server package asks for a SYSDBA password; answer it so nothing prompts.
echo "firebird3.0-server shared/firebird/sysdba_password/first_install password masterkey" \
    | $sudo debconf-set-selections

apt_get update -q
apt_get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: done"
