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

# The Linux program: Xlib, OpenGL with GLX and GLU, EGL for drawing without a
# display, Mesa's drivers (llvmpipe renders where there is no GPU), libpng.
kLinuxPackages=(libx11-dev libgl-dev libopengl-dev libglu1-mesa-dev libegl-dev libegl-mesa0
    libglx-mesa0 libgl1-mesa-dri libpng-dev)

# What the Linux program's window-system tests drive it with: a virtual X
# server, synthetic input, and an XML checker for the XScreenSaver settings file.
kXvfbTestPackages=(xvfb xdotool libxml2-utils)
