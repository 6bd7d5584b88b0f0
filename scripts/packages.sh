# Installs the Debian packages the program needs to build, test and run, when any is missing.
# Sourced by ./run and ./test.
TAVOLA_PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    fonts-ipafont-mincho fonts-ipafont-gothic fonts-texgyre
    xvfb xauth python3 xdg-utils
    poppler-utils
    libcpp-httplib-dev libqrencode-dev chromium chromium-driver python3-selenium
    dpkg-dev file
)

tavola_install_packages() {
    local missing=()
    local p
    for p in "${TAVOLA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
