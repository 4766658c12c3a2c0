# Sourced by the scripts: installs Debian packages only when they are missing.

# EnsurePackages PACKAGE...: apt-get installs those of the named packages that
# are not installed yet (as root, or through sudo when it is there).
EnsurePackages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The packages the native build and its unit tests need.
kNativeBuildPackages=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
    libgl-dev libglu1-mesa-dev)

# The command-line fuzzer: clang with its libFuzzer and sanitizer runtimes.
kFuzzPackages=(clang libclang-rt-14-dev)

# The Linux program: Xlib, OpenGL with GLX and GLU, EGL for drawing without a
# display, Mesa's drivers (llvmpipe renders where there is no GPU), libpng.
kLinuxPackages=(libx11-dev libgl-dev libopengl-dev libglu1-mesa-dev libegl-dev libegl-mesa0
    libglx-mesa0 libgl1-mesa-dri libpng-dev)

# What the Linux program's window-system tests drive it with: a virtual X
# server, synthetic input, and an XML checker for the XScreenSaver settings file.
kXvfbTestPackages=(xvfb xdotool libxml2-utils)

# The Windows cross builds: mingw-w64 compilers and binutils for both machines.
kWindowsPackages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
    binutils-mingw-w64-x86-64)

# Running the 64-bit Windows build's tests: Wine (64-bit only, no i386
# architecture), a virtual X server with Mesa's software OpenGL, real input,
# screenshots, window queries.
kWineTestPackages=(wine64 wine xvfb libgl1-mesa-dri xdotool imagemagick x11-utils)
