#!/usr/bin/env bash
# Checks what an install of Brackwin delivers. Each check stages its own install, so the checks
# can run in parallel.
#   check-install.sh desktop CMAKE BUILD     desktop-file-validate passes on the staged entry
#   check-install.sh metainfo CMAKE BUILD    appstreamcli passes on the staged metainfo and tree
#   check-install.sh files CMAKE BUILD       the staged install holds exactly the expected files
#   check-install.sh find CMAKE BUILD        the staged finder searches the staged sample
#   check-install.sh start CMAKE BUILD PROBE the staged program starts and finds its data folder
#   check-install.sh debian CPACK BUILD      lintian finds no error and no warning in the package
set -euo pipefail

# CTest reports this exit status as a skipped test.
readonly SKIPPED=77
readonly APP_ID=org.example.Brackwin

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

require_tool() {
    if ! command -v "$1" >/dev/null; then
        echo "$1 is not installed; skipped (tools/install-deps test installs it)."
        exit "$SKIPPED"
    fi
}

# Installs the build tree into a fresh folder with prefix /usr, the way the Debian package
# lays it out; sets $staging and removes it on exit.
stage() {
    local cmake=$1 build=$2
    staging=$(mktemp -d)
    trap 'rm -rf "$staging"' EXIT
    DESTDIR="$staging" "$cmake" --install "$build" --prefix /usr >/dev/null
}

expected_files() {
    local size
    printf '%s\n' \
        usr/bin/brackwin \
        usr/bin/brackwin-find \
        usr/share/applications/$APP_ID.desktop \
        usr/share/brackwin/winapi/win32api.txt \
        usr/share/doc/brackwin/changelog.gz \
        usr/share/doc/brackwin/copyright \
        usr/share/man/man1/brackwin-find.1.gz \
        usr/share/man/man1/brackwin.1.gz \
        usr/share/metainfo/$APP_ID.metainfo.xml
    for size in 32 48 64 128 256; do
        echo "usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
    done
}

check_desktop() {
    require_tool desktop-file-validate
    stage "$1" "$2"
    local entry=$staging/usr/share/applications/$APP_ID.desktop
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
}

# The tree check also resolves the launchable desktop entry and the icon in the staged tree.
check_metainfo() {
    require_tool appstreamcli
    stage "$1" "$2"
    local metainfo=$staging/usr/share/metainfo/$APP_ID.metainfo.xml
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
    appstreamcli validate-tree --no-net "$staging/usr" || fail "appstreamcli rejects the staged tree"
}

check_files() {
    stage "$1" "$2"
    local actual
    actual=$(cd "$staging" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
    diff -u <(expected_files | LC_ALL=C sort) <(echo "$actual") \
        || fail "the staged install differs from the expected files (- expected, + staged)"

    local page
    for page in "$staging"/usr/share/man/man1/*.gz; do
        zcat "$page" | head -n 1 | grep -q '^\.TH ' || fail "$page is not a gzipped manual page"
    done
    local changelog=$staging/usr/share/doc/brackwin/changelog.gz version expected
    version=$(zcat "$changelog" | dpkg-parsechangelog -l - -S Version) \
        || fail "$changelog is not a gzipped Debian changelog"
    expected=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$2/CMakeCache.txt")
    [ "$version" = "$expected" ] \
        || fail "the changelog's latest version is $version, the package's $expected"

    local size
    for size in 32 48 64 128 256; do
        file "$staging/usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png" \
            | grep -q "PNG image data, $size x $size," || fail "the ${size}x${size} icon has another size"
    done
}

check_find() {
    stage "$1" "$2"
    local finder=$staging/usr/bin/brackwin-find
    local sample=$staging/usr/share/brackwin/winapi/win32api.txt
    local found
    found=$(cd / && "$finder" "$sample" 3 rect) || fail "brackwin-find failed on the staged sample"
    echo "$found"
    grep -qx 'Type RECT[[:space:]]*' <<<"$found" || fail "no 'Type RECT' among the types holding 'rect'"
    grep -qvi 'rect' <<<"$found" && fail "a listed type does not hold 'rect'"
    return 0
}

check_start() {
    stage "$1" "$2"
    local probe=$3
    local bin=$staging/usr/bin
    # The probe answers where the program's data folder is, from the program's own folder.
    cp "$probe" "$bin/"
    local install_dir
    install_dir=$(cd / && "$bin/$(basename "$probe")") || fail "the folder lookup failed"
    [ "$install_dir" = "$staging/usr/share/brackwin" ] \
        || fail "the data folder is '$install_dir', not '$staging/usr/share/brackwin'"
    [ -f "$install_dir/winapi/win32api.txt" ] || fail "no sample in $install_dir/winapi"

    local log=$staging/brackwin.log
    (cd / && QT_QPA_PLATFORM=offscreen exec timeout 30 "$bin/brackwin") >"$log" 2>&1 &
    local pid=$!
    sleep 2
    if ! kill -0 "$pid" 2>/dev/null; then
        cat "$log" >&2
        fail "brackwin ended within 2 s of starting"
    fi
    kill "$pid"
    wait "$pid" || true
}

# The Debian package that CPack makes from the build.
check_debian() {
    require_tool lintian
    local cpack=$1 build=$2
    packages=$(mktemp -d)
    trap 'rm -rf "$packages"' EXIT
    (cd "$build" && "$cpack" -G DEB -B "$packages" >/dev/null) || fail "CPack failed"
    local package
    package=$(find "$packages" -maxdepth 1 -name 'brackwin_*.deb')
    [ -n "$package" ] || fail "CPack made no Debian package"
    lintian --fail-on error,warning "$package" || fail "lintian finds errors or warnings in $package"
}

case "${1:-}" in
    desktop) check_desktop "$2" "$3" ;;
    metainfo) check_metainfo "$2" "$3" ;;
    files) check_files "$2" "$3" ;;
    find) check_find "$2" "$3" ;;
    start) check_start "$2" "$3" "$4" ;;
    debian) check_debian "$2" "$3" ;;
    *) echo "usage: check-install.sh desktop|metainfo|files|find CMAKE BUILD | start CMAKE BUILD PROBE | debian CPACK BUILD" >&2; exit 2 ;;
esac
echo "PASS"
