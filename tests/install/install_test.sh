#!/usr/bin/env bash
# Installs the build into a fresh prefix, checks what lands where, and starts the installed program on a
# catalogue made from the installed schema.
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

schema="$prefix/share/lumarettool/schema.sql"
[ -f "$schema" ] || fail "share/lumarettool/schema.sql is missing"
mkdir "$work/catalogues"
catalogue="$work/catalogues/data.mdb"
sqlite3 "$catalogue" <"$schema" || fail "the installed schema does not make a catalogue"

# An installed program is pointed at its catalogue by the first argument. The program also still supports the
# portable layout, where the catalogue sits beside the executable and the program folder carries its own data;
# a copy is placed there so that the start succeeds whichever of the two the program reads.
cp "$catalogue" "$prefix/bin/data.mdb"

# A fresh home and XDG directories, so that anything the program writes for the user shows up.
home="$work/home"
mkdir "$home"
mkdir -m 700 "$work/runtime"
env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen "$prefix/bin/LumaretTool" "$catalogue" >"$work/program.log" 2>&1 &
pid=$!
for _ in $(seq 20); do
    sleep 0.1
    kill -0 "$pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "the installed program ended on its own"; }
done
# A refusal also keeps the process alive, waiting on its message box; only the main window holds the catalogue.
holds_catalogue=""
for fd in /proc/"$pid"/fd/*; do
    target="$(readlink "$fd" || true)"
    if [ "$target" = "$catalogue" ] || [ "$target" = "$prefix/bin/data.mdb" ]; then holds_catalogue=yes; fi
done
if [ -z "$holds_catalogue" ]; then
    cat "$work/program.log" >&2
    fail "the installed program runs without a catalogue open: it refused to start"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""

written="$(cd "$home" && find . -mindepth 1)"
[ -z "$written" ] || fail "the program wrote into the fresh home: $written"
echo "install test: layout, validation and start-up of the installed program are right"
