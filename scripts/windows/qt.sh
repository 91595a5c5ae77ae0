# Sourced by build-windows.sh: the static Qt 6 for Windows, cross-built once
# and cached.
#   vorla_qt_prefix CACHE   the installed prefix for this Qt version and options
#   vorla_build_qt CACHE    builds it there unless it is already there

vorla_windows_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

vorla_qt_version() { dpkg-query -W -f='${Version}' qt6-base-dev-tools; }

vorla_qt_prefix() {
    local key
    # The recipe's own words are part of the key: a cache built another way
    # (before the paths were mapped out of it, say) is built anew.
    key="$( (echo "$vorla_qt_recipe"; cat "$vorla_windows_dir/qt-features.txt" "$vorla_windows_dir/toolchain-mingw64.cmake") \
           | sha256sum | cut -c1-12)"
    echo "$1/qt6-$(vorla_qt_version)-win64-$key"
}

# What the static libraries are built with so that the executables linked
# from them do not hold the cache's place (and with it the builder's home):
# the source and build directories inside CACHE are mapped to one fixed
# name, and Qt is configured for a fixed prefix and then installed into the
# cache. The same flags serve the program's own build (build-windows.sh), for
# the inline code of the headers it includes from the cache.
vorla_cache_name=/vorla-cache
vorla_qt_recipe="relocatable; prefix-map to $vorla_cache_name; configured prefix /vorla-qt6-win64; source's date"
vorla_cache_flags() { echo "-ffile-prefix-map=$1=$vorla_cache_name"; }

# The time the static libraries are built with (SOURCE_DATE_EPOCH: the dates
# rcc writes into Qt's resources, the gzip header of its MIME database): that
# of the source they are built from, as its tarball dates FILE, never the
# time or the commit of whichever checkout happened to build the cache.
vorla_source_date() { stat -c %Y "$1"; }

vorla_build_qt() {
    local cache="$1" prefix
    prefix="$(vorla_qt_prefix "$cache")"
    [ -f "$prefix/.complete" ] && return 0
    local version source build
    version="$(vorla_qt_version)"
    vorla_fetch_source qt6-base "$version" "$cache/src"
    source="$cache/src/qt6-base-$version"
    build="$prefix.build"
    # Qt's own toolchain file names the one it was configured with by its
    # absolute path: a copy inside the prefix lives as long as the cache does,
    # not as long as the checkout that built it.
    mkdir -p "$prefix"
    cp "$vorla_windows_dir/toolchain-mingw64.cmake" "$prefix/toolchain-mingw64.cmake"
    local options
    options="$(grep -v '^#' "$vorla_windows_dir/qt-features.txt")"
    echo "Cross-building static Qt $version for Windows into $prefix (once; how long it takes: docs/testing.md#times)"
    # shellcheck disable=SC2086  # the options are words
    SOURCE_DATE_EPOCH="$(vorla_source_date "$source/.cmake.conf")" cmake -S "$source" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain-mingw64.cmake" \
        -DCMAKE_INSTALL_PREFIX=/vorla-qt6-win64 \
        -DCMAKE_C_FLAGS="$(vorla_cache_flags "$cache")" -DCMAKE_CXX_FLAGS="$(vorla_cache_flags "$cache")" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        $options > "$build.configure.log" 2>&1 \
        || { tail -30 "$build.configure.log" >&2; return 1; }
    SOURCE_DATE_EPOCH="$(vorla_source_date "$source/.cmake.conf")" cmake --build "$build" --parallel "$(nproc)"
    cmake --install "$build" --prefix "$prefix" > /dev/null
    rm -rf "$build"
    touch "$prefix/.complete"
}

# hidapi's Windows backend, static, from the distribution's hidapi source.
#   vorla_hidapi_prefix CACHE / vorla_build_hidapi CACHE
vorla_hidapi_version() { apt-cache show libhidapi-dev 2>/dev/null | sed -n 's/^Version: //p' | head -1; }

vorla_hidapi_prefix() { echo "$1/hidapi-$(vorla_hidapi_version)-win64-mapped-dated"; }

vorla_build_hidapi() {
    local cache="$1" prefix version
    prefix="$(vorla_hidapi_prefix "$cache")"
    [ -f "$prefix/.complete" ] && return 0
    version="$(vorla_hidapi_version)"
    vorla_fetch_source hidapi "$version" "$cache/src"
    cmake -S "$cache/src/hidapi-$version" -B "$prefix.build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$vorla_windows_dir/toolchain-mingw64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DHIDAPI_BUILD_HIDTEST=OFF \
        -DCMAKE_C_FLAGS="$(vorla_cache_flags "$cache")" \
        -DCMAKE_INSTALL_PREFIX="$prefix" > /dev/null
    SOURCE_DATE_EPOCH="$(vorla_source_date "$cache/src/hidapi-$version/VERSION")" cmake --build "$prefix.build"
    cmake --install "$prefix.build" > /dev/null
    rm -rf "$prefix.build"
    touch "$prefix/.complete"
}
