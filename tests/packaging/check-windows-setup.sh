#!/usr/bin/env bash
# Checks Brackwin's Windows packages: the setup program, run silently under Wine, and the portable
# zip. The checks share one fresh Wine prefix of their own and take turns with it; each leaves it
# as it found it, with nothing of Brackwin installed.
#   check-windows-setup.sh packages CPACK BUILD PACKAGES        CPack makes both packages in PACKAGES,
#                                                               from the optimised configuration
#   check-windows-setup.sh prefix PACKAGES WINE PREFIX          make the fresh Wine prefix
#   check-windows-setup.sh install PACKAGES WINE PREFIX         install, check, uninstall, check
#   check-windows-setup.sh twice PACKAGES WINE PREFIX           a second setup run installs over the first
#   check-windows-setup.sh missing PACKAGES WINE PREFIX         an uninstaller without its installation
#   check-windows-setup.sh zip PACKAGES WINE PREFIX CMAKE       the zip's files, run where it is unpacked
#   check-windows-setup.sh cleanup PACKAGES WINE PREFIX         stop the prefix's Wine and remove it
set -euo pipefail

# CTest reports this exit status as a skipped test.
readonly SKIPPED=77
readonly PACKAGE=Brackwin-1.0.0-win64
readonly INSTALL_DIR='C:\Program Files\Brackwin'
readonly ENTRY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brackwin'

fail() {
    echo "FAIL: $*" >&2
    if [ -s "${log:-}" ]; then
        echo "--- Wine's output:" >&2
        tail -n 40 "$log" >&2
    fi
    exit 1
}

skip() {
    echo "$*; skipped (tools/install-deps windows installs it)."
    exit "$SKIPPED"
}

make_packages() {
    local cpack=$1 build=$2 packages=$3
    command -v makensis >/dev/null || skip "makensis is not installed"
    # Users get what the benchmarks measure.
    local configuration
    configuration=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
    [ "$configuration" = Release ] \
        || fail "the packages would hold the '$configuration' configuration, not the optimised Release one"
    rm -rf "$packages"
    (cd "$build" && "$cpack" -B "$packages") || fail "CPack failed"
    local package
    for package in "$PACKAGE.exe" "$PACKAGE.zip"; do
        [ -f "$packages/$package" ] || fail "CPack made no $package"
        echo "$package: $(stat -c %s "$packages/$package") bytes"
    done
}

# Sets $wine and $wineserver, and points Wine to the prefix.
use_wine() {
    wine=$1
    [ -x "$wine" ] || skip "Wine is not installed"
    # Debian's wine64 alone has its server beside the loader, without a wineserver command.
    wineserver=$(dirname "$wine")/wineserver
    [ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
    export WINEPREFIX=$2
}

# Ends every program in the prefix and its server.
stop_wine() {
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w
}

# Sets up Wine for the checks: $wine, $wineserver, $log, and the paths inside the prefix.
use_prefix() {
    packages=$1
    use_wine "$2" "$3"
    command -v makensis >/dev/null || skip "makensis is not installed, so there is no setup program"

    export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
    # No Mono or Gecko installer prompts, and no menu entries for the shortcut in the desktop of
    # the user who runs the tests.
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
    unset DISPLAY WAYLAND_DISPLAY

    setup=$packages/$PACKAGE.exe
    drive_c=$WINEPREFIX/drive_c
    program_files="$drive_c/Program Files"
    installed="$program_files/Brackwin"
    shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brackwin.lnk"
    scratch=$(mktemp -d)
    log=$scratch/wine.log
    trap leave_prefix EXIT
}

# A failed check stops what still runs in the prefix, so that the next check can start.
leave_prefix() {
    local status=$?
    if [ "$status" -eq 0 ]; then
        "$wineserver" -w
    else
        stop_wine
    fi
    rm -rf "$scratch"
}

# Wine's output always goes to files: a Wine service that a program starts keeps the output open
# after the program ends, and would keep a pipe (and the test) waiting.
run_wine() {
    "$wine" "$@" >>"$log" 2>&1
}

# Runs a Windows program with its standard output in the file $1, without its carriage returns.
wine_output() {
    local out=$1
    shift
    "$wine" "$@" >"$out.crlf" 2>>"$log" || return
    tr -d '\r' <"$out.crlf" >"$out"
}

# Runs the finder $1 on the sample $2 and checks that it finds the type RECT.
check_finder() {
    wine_output "$scratch/found" "$1" "$2" 3 rect || fail "$1 failed on $2"
    grep -qx 'Type RECT[[:space:]]*' "$scratch/found" || fail "$1 finds no 'Type RECT' in $2"
}

# Runs the finder $1 on a file named with characters outside the ANSI code page (code page 932
# has no é and no Hangul), searching for a key made of them: the arguments reach it whole, and
# its output to a file is UTF-8.
check_finder_unicode() {
    local name='é한글宣言.txt'
    printf "' 見出し\r\nType RECT_é한글\r\nType RECT\r\n' 終わり\r\n" >"$scratch/$name"
    # Wine's drive Z: is the root of the Unix file system.
    local path="Z:${scratch//\//\\}\\$name"
    wine_output "$scratch/found" "$1" "$path" 3 'é한' || fail "$1 failed on $path"
    [ "$(cat "$scratch/found")" = 'Type RECT_é한글' ] \
        || fail "$1 found '$(cat "$scratch/found")' in $path, not 'Type RECT_é한글'"
}

# Waits until every program in the prefix has ended, the uninstaller's working copy among them,
# and Wine has saved the registry.
wait_for_wine() {
    "$wineserver" -w
}

# Prints a folder's tree, one path a line.
tree() {
    (cd "$1" && find . | LC_ALL=C sort)
}

# Prints the lines of the saved registry that mention Brackwin outside its uninstall entry.
registry_mentions_outside_entry() {
    awk '/^\[/ { key = $0 }
         tolower($0) ~ /brackwin/ && key !~ /^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Brackwin\]/ { print FILENAME ": " $0 }' \
        "$WINEPREFIX"/*.reg
}

snapshot() {
    tree "$program_files" >"$scratch/program-files.before"
    tree "$drive_c/ProgramData" >"$scratch/programdata.before"
}

run_setup() {
    run_wine "$setup" /S || fail "the setup program ended with exit status $?"
    wait_for_wine
}

uninstall() {
    # The uninstaller returns at once and leaves the work to a copy of itself.
    run_wine "$INSTALL_DIR\\Uninstall.exe" /S || fail "the uninstaller ended with exit status $?"
    wait_for_wine
}

entry_value() {
    awk -v name="$1" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }' "$scratch/entry"
}

check_installed() {
    diff -u <(printf '%s\n' . ./LICENSE.txt ./Uninstall.exe ./brackwin-find.exe ./brackwin.exe \
        ./winapi ./winapi/win32api.txt) <(tree "$installed") \
        || fail "the installed files differ from the expected ones (- expected, + installed)"

    [ -f "$shortcut" ] || fail "no Start menu shortcut $shortcut"
    local menu_entries
    menu_entries=$(diff "$scratch/programdata.before" <(tree "$drive_c/ProgramData") | grep -c '^>' || true)
    [ "$menu_entries" -eq 1 ] || fail "the setup program added $menu_entries paths to ProgramData, not one shortcut"
    # The shortcut holds its target as an 8-bit string and its working folder as a UTF-16 one.
    strings -a "$shortcut" | grep -qxF "$INSTALL_DIR\\brackwin.exe" \
        || fail "the shortcut does not start $INSTALL_DIR\\brackwin.exe"
    strings -el "$shortcut" | grep -qF "$INSTALL_DIR\\winapi" \
        || fail "the shortcut does not start the program in $INSTALL_DIR\\winapi"

    wine_output "$scratch/entry" reg query "$ENTRY" || fail "no uninstall entry $ENTRY"
    local name expected
    while IFS='|' read -r name expected; do
        [ "$(entry_value "$name")" = "$expected" ] \
            || fail "the uninstall entry's $name is '$(entry_value "$name")', not '$expected'"
    done <<EOF
DisplayName|Brackwin
DisplayVersion|1.0.0
Publisher|The Brackwin developers
DisplayIcon|$INSTALL_DIR\\brackwin.exe
UninstallString|"$INSTALL_DIR\\Uninstall.exe"
EOF
    local others
    others=$(registry_mentions_outside_entry)
    [ -z "$others" ] || fail "the setup program wrote to the registry outside its uninstall entry:
$others"

    check_finder "$INSTALL_DIR\\brackwin-find.exe" "$INSTALL_DIR\\winapi\\win32api.txt"
    check_finder_unicode "$INSTALL_DIR\\brackwin-find.exe"
}

check_removed() {
    diff -u "$scratch/program-files.before" <(tree "$program_files") \
        || fail "Program Files is not as before the install (- before, + after the uninstall)"
    diff -u "$scratch/programdata.before" <(tree "$drive_c/ProgramData") \
        || fail "ProgramData is not as before the install (- before, + after the uninstall)"
    ! run_wine reg query "$ENTRY" || fail "the uninstall entry is still there"
    local mentions
    mentions=$(grep -i brackwin "$WINEPREFIX"/*.reg || true)
    [ -z "$mentions" ] || fail "the registry still mentions Brackwin:
$mentions"
}

# The first program Wine runs in a new prefix makes it and waits for it, so a program that does
# nothing is enough: wineboot would start one more set of Wine's services. Wine failed once, on a
# busy machine, to load its own kernel32.dll into a prefix it had just made; that try's output is
# shown and the prefix is made afresh once more.
make_prefix() {
    use_prefix "$@"
    local try
    for try in 1 2; do
        stop_wine
        rm -rf "$WINEPREFIX"
        if run_wine cmd /c exit; then
            wait_for_wine
            return
        fi
        echo "Wine could not make the prefix $WINEPREFIX (try $try):" >&2
        tail -n 20 "$log" >&2
    done
    fail "Wine could not make the prefix $WINEPREFIX"
}

check_install() {
    use_prefix "$@"
    snapshot
    run_setup
    check_installed
    uninstall
    check_removed
}

check_twice() {
    use_prefix "$@"
    snapshot
    run_setup
    run_setup
    check_installed
    uninstall
    check_removed
}

# An uninstaller copied to a folder without the program, and one run again after the uninstall,
# must report the missing installation and remove nothing, not even files of the installed names.
check_missing() {
    use_prefix "$@"
    snapshot
    run_setup
    local elsewhere=$drive_c/elsewhere
    rm -rf "$elsewhere"
    mkdir -p "$elsewhere/winapi"
    cp "$installed/Uninstall.exe" "$elsewhere/"
    echo "not Brackwin's" | tee "$elsewhere/LICENSE.txt" "$elsewhere/winapi/win32api.txt" >/dev/null
    local before
    before=$(tree "$elsewhere")

    # With _?= the uninstaller works in place and ends with its own exit status.
    if run_wine 'C:\elsewhere\Uninstall.exe' /S '_?=C:\elsewhere'; then
        fail "an uninstaller without its installation reported success"
    fi
    run_wine 'C:\elsewhere\Uninstall.exe' /S || fail "the uninstaller could not start its copy"
    wait_for_wine
    [ "$(tree "$elsewhere")" = "$before" ] || fail "an uninstaller without its installation removed files"
    check_installed

    uninstall
    check_removed
    # cmd passes the folder with its blank as one argument; Wine would quote it.
    if run_wine cmd /c "C:\\elsewhere\\Uninstall.exe /S _?=$INSTALL_DIR"; then
        fail "an uninstaller run again after the uninstall reported success"
    fi
    wait_for_wine
    [ "$(tree "$elsewhere")" = "$before" ] || fail "the uninstaller run again removed files"
    rm -rf "$elsewhere"
    check_removed
}

# The zip holds the installed files in one folder, and its programs run wherever it is unpacked.
check_zip() {
    use_prefix "$1" "$2" "$3"
    local cmake=$4 zip=$packages/$PACKAGE.zip
    diff -u <(printf "$PACKAGE/%s\n" LICENSE.txt brackwin-find.exe brackwin.exe winapi/win32api.txt) \
        <("$cmake" -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort) \
        || fail "the zip's files differ from the expected ones (- expected, + in the zip)"

    local unpacked=$drive_c/unpacked
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    (cd "$unpacked" && "$cmake" -E tar xf "$zip") || fail "the zip does not unpack"
    check_finder "C:\\unpacked\\$PACKAGE\\brackwin-find.exe" "C:\\unpacked\\$PACKAGE\\winapi\\win32api.txt"
    wait_for_wine
    rm -rf "$unpacked"
}

remove_prefix() {
    use_wine "$2" "$3"
    if [ -d "$WINEPREFIX" ]; then
        stop_wine
        rm -rf "$WINEPREFIX"
    fi
}

case "${1:-}" in
    packages) make_packages "$2" "$3" "$4" ;;
    prefix) make_prefix "$2" "$3" "$4" ;;
    install) check_install "$2" "$3" "$4" ;;
    twice) check_twice "$2" "$3" "$4" ;;
    missing) check_missing "$2" "$3" "$4" ;;
    zip) check_zip "$2" "$3" "$4" "$5" ;;
    cleanup) remove_prefix "$2" "$3" "$4" ;;
    *) echo "usage: check-windows-setup.sh packages CPACK BUILD PACKAGES | prefix|install|twice|missing|cleanup PACKAGES WINE PREFIX | zip PACKAGES WINE PREFIX CMAKE" >&2; exit 2 ;;
esac
echo "PASS"
