#!/usr/bin/env bash
# Developer entry point.
#   ./dev.sh edit [file]   install what is missing, build, open voren on the file
#   ./dev.sh test          install what is missing, build everything, run the whole suite
#   ./dev.sh build         build only
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ libncurses-dev libgtest-dev tmux)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    if ((${#missing[@]})); then
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

build() {
    cmake -S . -B build -G Ninja "$@" >/dev/null
    cmake --build build -j "$(nproc)"
}

case "${1:-}" in
edit)
    install_missing
    build -DVOREN_SANITIZERS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec build/apps/voren "${2:-docs/sample.txt}"
    ;;
test)
    install_missing
    # Tests need no debug information and little optimisation: the build is
    # most of the suite's time. The sanitized twins are built at -O0.
    build -DVOREN_SANITIZERS=ON -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1
    cd build
    exec ctest --output-on-failure -j "$(nproc)"
    ;;
build)
    install_missing
    build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ;;
*)
    echo "usage: ./dev.sh edit [file] | ./dev.sh test | ./dev.sh build" >&2
    exit 2
    ;;
esac
