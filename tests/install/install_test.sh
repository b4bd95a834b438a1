#!/usr/bin/env bash
# Installs the build into a fresh prefix, checks what lands where, has lintian judge the Debian package, asks the
# installed program for its help and version without a display, and starts it on a catalogue named by its argument
# and on one in the user data folder.
# Usage: install_test.sh CMAKE BUILD_DIR VERSION
set -euo pipefail
cmake=$1 build=$2 version=$3
app_id=org.lumaret.LumaretTool

work="$(realpath "$(mktemp -d)")"
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "install test: $*" >&2
    exit 1
}

prefix="$work/prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# Programs: the companions are installed whenever the build made them, and nothing else lands in bin/ (test and
# tool programs share the build's bin/ directory with them).
[ -x "$prefix/bin/LumaretTool" ] || fail "bin/LumaretTool is missing"
for tool in lumaret-transfer lumaret-convert; do
    if [ -e "$build/bin/$tool" ] && [ ! -x "$prefix/bin/$tool" ]; then fail "$tool was built but not installed"; fi
done
for installed in "$prefix"/bin/*; do
    case "$(basename "$installed")" in
    LumaretTool | lumaret-transfer | lumaret-convert) ;;
    *) fail "unexpected program installed: bin/$(basename "$installed")" ;;
    esac
done

# The desktop entry, the icon and the metainfo must all carry the same id, or desktops do not pair them up.
desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -f "$desktop" ] || fail "desktop entry $app_id.desktop is missing"
[ -f "$metainfo" ] || fail "metainfo $app_id.metainfo.xml is missing"
exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
[ -x "$prefix/bin/$exec_program" ] || fail "the desktop entry starts '$exec_program', which is not installed"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon than $app_id"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

# Each icon size holds a picture of that size (big-endian width and height at bytes 16 to 23 of a PNG).
for size in 16 32 48 64 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ -f "$icon" ] || fail "icon ${size}x${size} is missing"
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$icon")
    dimensions="$(((w1 << 24) + (w2 << 16) + (w3 << 8) + w4))x$(((h1 << 24) + (h2 << 16) + (h3 << 8) + h4))"
    [ "$dimensions" = "${size}x${size}" ] || fail "icon ${size}x${size} is a $dimensions picture"
done

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
fi
# validate-tree also checks that the metainfo's launchable names the installed desktop entry.
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net --strict "$prefix" >"$work/appstream.log" 2>&1 ||
        { cat "$work/appstream.log" >&2; fail "appstreamcli rejects the installed metainfo"; }
fi

# X11 desktops pair a window with its entry by the window's class, which is the application's name.
grep -qx "StartupWMClass=LumaretTool" "$desktop" || fail "the desktop entry names another window class"

# A man page for every program, and the documents a Debian package must carry.
for installed in "$prefix"/bin/*; do
    page="$prefix/share/man/man1/$(basename "$installed").1.gz"
    [ -f "$page" ] || fail "no man page for $(basename "$installed")"
    gzip -dc "$page" | grep -q '^\.SH NAME' || fail "$(basename "$page") is not a man page"
done
for doc in copyright changelog.Debian.gz; do
    [ -f "$prefix/share/doc/lumarettool/$doc" ] || fail "share/doc/lumarettool/$doc is missing"
done

# The package itself, judged by Debian's rules: no error and no warning.
if command -v lintian >/dev/null; then
    "$(dirname "$cmake")/cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
    lintian --fail-on error,warning "$work"/package/*.deb >"$work/lintian.log" 2>&1 ||
        { cat "$work/lintian.log" >&2; fail "lintian finds errors or warnings in the package"; }
fi

schema="$prefix/share/lumarettool/schema.sql"
[ -f "$schema" ] || fail "share/lumarettool/schema.sql is missing"
mkdir "$work/catalogues"
catalogue="$work/catalogues/data.mdb"
sqlite3 "$catalogue" <"$schema" || fail "the installed schema does not make a catalogue"

# A fresh home and XDG directories, so that anything the programs write for the user shows up.
home="$work/home"
mkdir "$home"
mkdir -m 700 "$work/runtime"
user_env=(env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
    XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$work/runtime")

# Help and version are for a terminal: no display is needed for them.
"${user_env[@]}" "$prefix/bin/LumaretTool" --help >"$work/help.txt" 2>&1 || { cat "$work/help.txt" >&2; fail "--help failed"; }
grep -q '^Usage: .*LumaretTool \[options\] \[CATALOGUE\]' "$work/help.txt" || fail "--help prints no usage"
[ "$("${user_env[@]}" "$prefix/bin/LumaretTool" --version)" = "LumaretTool $version" ] || fail "--version is wrong"

# Starts the installed program on its own and checks that the main window came up on the expected catalogue;
# a refusal keeps the process alive too, waiting on its message box, but only the main window holds the file.
starts_on() {
    local expected=$1
    shift
    "${user_env[@]}" QT_QPA_PLATFORM=offscreen "$prefix/bin/LumaretTool" "$@" >"$work/program.log" 2>&1 &
    pid=$!
    for _ in $(seq 20); do
        sleep 0.1
        kill -0 "$pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "the installed program ended on its own"; }
    done
    local held=""
    for fd in /proc/"$pid"/fd/*; do
        if [ "$(readlink "$fd" || true)" = "$expected" ]; then held=yes; fi
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
    [ -n "$held" ] || { cat "$work/program.log" >&2; fail "the installed program did not open $expected"; }
}

# An installed program is pointed at its catalogue by its argument, or keeps it in the user data folder.
starts_on "$catalogue" "$catalogue"
user_catalogue="$home/.local/share/LumaretTool/data.mdb"
mkdir -p "$(dirname "$user_catalogue")"
cp "$catalogue" "$user_catalogue"
starts_on "$user_catalogue"

if [ -x "$prefix/bin/lumaret-transfer" ]; then
    "${user_env[@]}" "$prefix/bin/lumaret-transfer" list >"$work/list.txt" ||
        fail "the installed lumaret-transfer does not list the user's catalogue"
fi

written="$(cd "$home" && find . -mindepth 1 | grep -v '^\./\.local\(/share\(/LumaretTool\(/data\.mdb\)\?\)\?\)\?$' || true)"
[ -z "$written" ] || fail "the programs wrote into the fresh home: $written"
echo "install test: layout, man pages, validation, package, help and start-up of the installed program are right"
