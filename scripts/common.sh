# Shared by scripts/run and scripts/test: installs what is missing, then builds in build/.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# gpsbabel: the interoperability tests check that it reads the files we write.
# qt6-translations-l10n: Qt's own texts (buttons, file dialogs) in the program's languages.
# qt6-l10n-tools: lrelease compiles the program's translations, lupdate keeps them up to date
# with the sources (scripts/update-translations).
# qt6-svg-dev, help2man, dpkg-dev, bash-completion: the icons, manual pages, Debian package and
# shell completion of an installation.
# tzdata: the time-zone cities of the POI site that ships with the program.
# xplanet-images: the pictures of the World maps.
# appstream, desktop-file-utils: the install test validates the AppStream metadata and the menu
# entry.
# make: a test builds with CMake's default generator, Unix Makefiles, as well as with Ninja.
# rapidjson-dev, libzip-dev, zlib1g-dev, pkg-config: GeoJSON is read event by event; KMZ is a zip
# archive, its text deflated by zlib.
# zip, unzip: tests make KMZ files with another zip tool than the program's, and look inside ours.
PACKAGES=(cmake ninja-build make g++ qt6-base-dev qt6-svg-dev help2man dpkg-dev bash-completion qt6-translations-l10n qt6-l10n-tools libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev gpsbabel tzdata xplanet-images appstream desktop-file-utils rapidjson-dev libzip-dev zlib1g-dev pkg-config zip unzip)

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing ${missing[*]}" >&2
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >&2
}

build() {
    if [ ! -f "$BUILD/build.ninja" ]; then
        cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
    fi
    cmake --build "$BUILD" >&2
}
