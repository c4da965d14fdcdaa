#!/usr/bin/env bash
# Readies this Debian machine to build the client for another architecture and to run
# what it builds there:  scripts/prepare-cross.sh ARCH TRIPLET LIBRARY-PACKAGE...
#  - ARCH becomes one of dpkg's architectures; the library packages of ARCH, Debian's cross
#    compiler for TRIPLET and qemu's user-mode emulator are installed (only what is missing);
#  - the kernel runs ARCH's programs through the emulator (binfmt_misc), so that the tests
#    and every program they start, the engine's helpers among them, run on this machine.
set -euo pipefail
arch=${1:?usage: prepare-cross.sh ARCH TRIPLET LIBRARY-PACKAGE...}
triplet=${2:?usage: prepare-cross.sh ARCH TRIPLET LIBRARY-PACKAGE...}
shift 2
sudo=
[[ $(id -u) -eq 0 ]] || sudo=sudo

if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    echo "prepare-cross: adding the architecture $arch to dpkg"
    $sudo dpkg --add-architecture "$arch"
fi
missing=()
for package in "${@/%/:$arch}" "g++-$triplet" qemu-user-static; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    echo "prepare-cross: installing ${missing[*]}"
    # Another installation under way (an unattended upgrade, say) is waited for.
    $sudo apt-get update -qq -o DPkg::Lock::Timeout=600
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

cpu=${triplet%%-*}
binfmt=/proc/sys/fs/binfmt_misc
if [[ ! -e $binfmt/qemu-$cpu ]]; then
    echo "prepare-cross: running $arch programs through qemu-$cpu-static"
    [[ -e $binfmt/register ]] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
    $sudo sh -c "cat /usr/lib/binfmt.d/qemu-$cpu.conf > $binfmt/register"
fi
