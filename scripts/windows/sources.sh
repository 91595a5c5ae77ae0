# Sourced by build-windows.sh: the distribution's own sources of qt6-base and
# hidapi, fetched through a private sources list so that the system's apt
# configuration stays as it was.
#   vorla_fetch_source PACKAGE VERSION DIR   unpacks the source into DIR/PACKAGE-VERSION

# A private list: every configured "deb" entry again as "deb-src".
vorla_private_apt() {
    local root="$1"
    mkdir -p "$root/lists/partial"
    : > "$root/sources.list"
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$root/sources.list"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        # deb822 stanzas: each Types line that names deb is copied with deb-src.
        awk 'BEGIN { RS=""; ORS="\n\n" }
             /(^|\n)Types:[^\n]*deb([ \n]|$)/ {
                 gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
            "$f" > "$root/$(basename "$f")"
    done
}

vorla_apt_src() {
    local root="$1"; shift
    local parts=-
    ls "$root"/*.sources >/dev/null 2>&1 && parts="$root"
    apt-get -q -o Dir::Etc::SourceList="$root/sources.list" -o Dir::Etc::SourceParts="$parts" \
        -o Dir::State::Lists="$root/lists" "$@"
}

vorla_fetch_source() {
    local package="$1" version="$2" dir="$3"
    [ -d "$dir/$package-$version" ] && return 0
    local root="$dir/apt"
    vorla_private_apt "$root"
    vorla_apt_src "$root" update -qq
    mkdir -p "$dir/download"
    (cd "$dir/download" && vorla_apt_src "$root" source --download-only "$package=$version")
    rm -rf "$dir/unpack" && mkdir -p "$dir/unpack"
    # Unpacked without dpkg-source's patch step: the Debian patches are for
    # Debian's own build, the upstream tree is what is cross-built.
    local orig
    for orig in "$dir/download/${package}_${version%%-*}"*.orig.tar.*; do
        tar -xf "$orig" -C "$dir/unpack"
    done
    mv "$dir/unpack"/* "$dir/$package-$version"
    rm -rf "$dir/unpack"
}
