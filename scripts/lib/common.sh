# Shared by the scripts: where things are, and installing what is missing.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export ROOT

# The packages every build and test needs on Debian 12.
BASE_PACKAGES=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev binutils)

# The fuzz build: Debian's clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# Installs the Debian packages among "$@" that are not installed yet. A
# package of another architecture (NAME:i386) has that architecture added to
# dpkg first.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    for package in "${missing[@]}"; do
        if [[ "$package" == *:* ]] &&
            ! dpkg --print-foreign-architectures | grep -qx "${package##*:}"; then
            "${sudo[@]}" dpkg --add-architecture "${package##*:}"
        fi
    done
    export DEBIAN_FRONTEND=noninteractive
    # A mirror caught mid-sync serves an index file of the wrong size; apt
    # then leaves that index out and says so with a failing status. What the
    # install needs is usually in the others, so the install decides. If it
    # fails, the missing index was most likely one architecture's of the
    # security suite, and a package of another architecture can then no longer
    # match its installed kin version for version (Multi-Arch: same): the next
    # tries prefer the point release, whose versions every architecture has.
    local try
    local options=()
    for try in 1 2 3 4; do
        "${sudo[@]}" apt-get update -qq ||
            echo "apt-get update could not fetch every index; installing from the rest" >&2
        if "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${options[@]}" \
            "${missing[@]}" </dev/null; then
            return 0
        fi
        options=(-o "Dir::Etc::Preferences=$ROOT/scripts/lib/point_release_first.pref")
        if [ "$try" -lt 4 ]; then
            echo "apt-get install failed (try $try); trying again in $((try * 10)) s," \
                "preferring the point release" >&2
            sleep $((try * 10))
        fi
    done
    return 1
}

# Configures and builds one preset: all of it, or the targets named after it.
build_preset() {
    local preset="$1"
    shift
    local targets=()
    if [ "$#" -gt 0 ]; then
        targets=(--target "$@")
    fi
    cmake --preset "$preset" -S "$ROOT" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
}

# What the Windows build and its tests under Wine need on Debian 12.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    googletest wine64 wine xvfb xauth x11-apps imagemagick fonts-wine)
# The 32-bit build besides: the i686 cross compiler and Wine's 32-bit side.
# Without wine32, Wine runs a 32-bit program as nothing at all and exits 0.
# (It comes from the i386 architecture, and installing it also brings some
# amd64 libraries up to the versions of their i386 twins.)
WINDOWS32_PACKAGES=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    wine32:i386)

# Double Commander on a virtual desktop with a window manager, driven by
# xdotool, photographed by ImageMagick. The Qt edition's package conflicts
# with the GTK one's, but its program runs beside it from a folder of its own
# (doublecmd_qt below); it needs the LCL's Qt binding.
DESKTOP_PACKAGES=(xvfb xauth xdotool imagemagick openbox x11-utils)
DOUBLECMD_PACKAGES=(doublecmd-gtk libqt5pas1 "${DESKTOP_PACKAGES[@]}")
# The oldest system the Linux release is made for, as a root of its own.
DEBIAN11_PACKAGES=(debootstrap "${DESKTOP_PACKAGES[@]}")

# doublecmd_qt DIR: the Qt edition's program of the installed version of
# Double Commander, unpacked into DIR beside links to the resources the GTK
# edition installed (the program finds them beside itself); prints its path.
doublecmd_qt() {
    local dir="$1" version
    version="$(dpkg-query -W -f='${Version}' doublecmd-common)"
    if [ ! -x "$dir/doublecmd" ] || [ "$(cat "$dir/version" 2>/dev/null)" != "$version" ]; then
        rm -rf "$dir"
        mkdir -p "$dir/deb"
        (cd "$dir/deb" && { apt-get download "doublecmd-qt=$version" >/dev/null 2>&1 ||
            { apt-get update -qq && apt-get download "doublecmd-qt=$version" >/dev/null; }; })
        dpkg-deb -x "$dir"/deb/doublecmd-qt_*.deb "$dir/deb/x"
        local entry
        for entry in /usr/lib/doublecmd/*; do
            case "$(basename "$entry")" in doublecmd | doublecmd.zdli) ;; *) ln -s "$entry" "$dir/" ;; esac
        done
        cp "$dir/deb/x/usr/lib/doublecmd/doublecmd" "$dir/deb/x/usr/lib/doublecmd/doublecmd.zdli" "$dir/"
        rm -rf "$dir/deb"
        echo "$version" >"$dir/version"
    fi
    echo "$dir/doublecmd"
}

# debian11_root DIR: a Debian 11 root with Double Commander (GTK2) in it,
# made with debootstrap unless DIR already holds a finished one (never on CI).
debian11_root() {
    local dir="$1"
    if [ -f "$dir/.mossgrain-root" ] && [ -z "${CI:-}" ]; then return 0; fi
    if findmnt -rn -o TARGET | grep -q "^$dir/"; then
        echo "debian11_root: $dir has file systems mounted in it" >&2
        return 1
    fi
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    debootstrap --variant=minbase bullseye "$dir" >"$dir.debootstrap.log" 2>&1 ||
        { tail -20 "$dir.debootstrap.log" >&2; return 1; }
    chroot "$dir" env DEBIAN_FRONTEND=noninteractive bash -c \
        'apt-get update -qq && apt-get install -y -qq --no-install-recommends doublecmd-gtk' \
        >>"$dir.debootstrap.log" 2>&1 || { tail -20 "$dir.debootstrap.log" >&2; return 1; }
    touch "$dir/.mossgrain-root"
}

# Makes a fresh Wine prefix at $1 for the Windows tests: Wine draws its own
# window frames (there is no window manager) and has the shell dialog font.
# Fresh every time: a prefix made before Wine's 32-bit side was installed
# cannot even load kernel32 afterwards, for 64-bit programs too.
make_wine_prefix() {
    local prefix="$1"
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    export WINEPREFIX="$prefix"
    local setting
    while read -r setting; do
        if [[ "$setting" =~ ^[A-Z]+= ]]; then export "${setting?}"; fi
    done <"$ROOT/cmake/wine.env"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
    cp /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf \
        "$prefix/drive_c/windows/Fonts/"
}
