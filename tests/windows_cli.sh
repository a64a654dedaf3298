#!/usr/bin/env bash
# Runs zendrik-cli.exe under Wine as a user would, on names and paths that only Windows makes
# hard: folders and log names outside ASCII, the \\?\ form, "/" in --log, a path longer than
# 260 characters, and the program's resources. Each repair is compared with the Linux
# zendrik-cli's on the same installation: the same log but for the separators, the same files.
set -euo pipefail
linux_cli="$(realpath "${1:?usage: windows_cli.sh LINUX_CLI WINDOWS_CLI}")"
windows_cli="$(realpath "${2:?usage: windows_cli.sh LINUX_CLI WINDOWS_CLI}")"
wine="${WINE:-/usr/lib/wine/wine64}"
export WINEDEBUG=-all
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
passed=0
fail() {
  echo "FAILED: $*" >&2
  failed=$((failed + 1))
}

# An installation with a texture in System, where it does not belong.
make_installation() {
  mkdir -p "$1/System" "$1/Textures"
  printf '[Engine.GameEngine]\r\nServerPackages=BotPack\r\n' > "$1/System/UnrealTournament.ini"
  printf 'exe' > "$1/System/UnrealTournament.exe"
  printf 'Object=(Name=Red.Red,Class=Texture)\r\n' > "$1/System/Red.int"
  printf 'red' > "$1/System/Red.utx"
}
snapshot() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# A Windows log spelled as on Linux: no CR, "\\?\Z:\" and "Z:\" as "/", "\" as "/".
as_linux() { sed -e 's/\r$//' -e 's|\\\\?\\Z:\\|/|g' -e 's|Z:\\|/|g' -e 's|\\|/|g' "$1"; }

# compare NAME INSTALLATION LINUX_ARGUMENT WINDOWS_ARGUMENT [OPTION...]: repairs a fresh
# INSTALLATION with each program, from the folder $work/run, and checks that both exit 0,
# print the same log and leave the same files. The outputs stay in $work/NAME.*. With
# $log_file set, each saves its log there (the Linux one first, moved to $log_file.linux).
compare() {
  local name="$1" installation="$2" linux_argument="$3" windows_argument="$4"
  shift 4
  local status=0 linux_log=() windows_log=()
  if [ -n "${log_file:-}" ]; then
    linux_log=(--log "$log_file")
    windows_log=(--log "$(winpath "$log_file")")
  fi
  rm -rf "$installation" "$work/run" && mkdir -p "$work/run"
  make_installation "$installation"
  (cd "$work/run" && "$linux_cli" "$@" "${linux_log[@]}" "$linux_argument") > "$work/$name.linux" ||
    status=$?
  [ -z "${log_file:-}" ] || mv "$log_file" "$log_file.linux" || fail "$name: no Linux log"
  [ "$status" -eq 0 ] || fail "$name: Linux exit status $status"
  snapshot "$installation" > "$work/$name.linux-files"
  rm -rf "$installation" "$work/run.linux" && mv "$work/run" "$work/run.linux" && mkdir -p "$work/run"
  make_installation "$installation"
  status=0
  (cd "$work/run" && "$wine" "$windows_cli" "$@" "${windows_log[@]}" "$windows_argument") \
    > "$work/$name.windows" \
    2> "$work/$name.err" || status=$?
  snapshot "$installation" > "$work/$name.windows-files"
  if [ "$status" -ne 0 ]; then
    fail "$name: exit status $status: $(cat "$work/$name.err")"
  elif ! as_linux "$work/$name.windows" | diff -u "$work/$name.linux" - >&2; then
    fail "$name: the log differs from Linux's"
  elif ! diff -u "$work/$name.linux-files" "$work/$name.windows-files" >&2; then
    fail "$name: the files differ from Linux's"
  elif ! grep -q '  ...moved to ' "$work/$name.linux"; then
    fail "$name: nothing was moved"
  else
    passed=$((passed + 1))
  fi
}

# Folder names outside ASCII, as a FOLDER argument: a Latin and a Cyrillic one. The log names
# them in UTF-8, and the texture is moved.
umlaut="$work/Jürgen/Games/UT"
compare umlaut "$umlaut" "$umlaut" "$(winpath "$umlaut")"
grep -q "found Red.utx in $(winpath "$umlaut" | sed 's|\\|\\\\|g')\\\\system\\\\" \
  "$work/umlaut.windows" || fail "umlaut: no line names Jürgen's folder: $(cat "$work/umlaut.windows")"
cyrillic="$work/Юрий/Игры/UT"
compare cyrillic "$cyrillic" "$cyrillic" "$(winpath "$cyrillic")"

# --log with a name outside ASCII, relative to the working folder: saved under that name.
compare log-name "$work/Plain/UT" "$work/Plain/UT" "$(winpath "$work/Plain/UT")" \
  --log Protokoll-ä.txt
if [ ! -f "$work/run/Protokoll-ä.txt" ]; then
  fail "log-name: no Protokoll-ä.txt, but: $(ls "$work/run")"
elif ! sed -e 's|Z:\\|/|g' -e 's|\\|/|g' "$work/run/Protokoll-ä.txt" |
  cmp -s - "$work/run.linux/Protokoll-ä.txt"; then
  fail "log-name: the saved log differs from Linux's"
else
  passed=$((passed + 1))
fi

# The \\?\ form of an executable's path names its installation.
prefixed="$work/Prefixed/UT"
compare prefixed "$prefixed" "$prefixed/System/UnrealTournament.exe" \
  "\\\\?\\$(winpath "$prefixed/System/UnrealTournament.exe")"

# An installation below a folder path of more than 260 characters, its log saved there too.
long="$work"
for part in 1 2 3 4 5; do long="$long/$(printf 'Sixty-characters-of-folder-name-%s-%027d' "$part" 0)"; done
long="$long/UT"
[ "${#long}" -gt 300 ] || fail "long: the path is only ${#long} characters long"
log_file="${long%/UT}/Protokoll.txt" compare long "$long" "$long" "$(winpath "$long")"
if [ ! -f "${long%/UT}/Protokoll.txt" ]; then
  fail "long: no log saved below the long path"
elif ! sed -e 's|Z:\\|/|g' -e 's|\\|/|g' "${long%/UT}/Protokoll.txt" |
  cmp -s - "${long%/UT}/Protokoll.txt.linux"; then
  fail "long: the saved log differs from Linux's"
fi

# Windows refuses a plain path of more than MAX_PATH characters unless long paths are enabled
# for the whole system, which Wine does not copy: every path of the run that reaches the
# system's file calls (traced by Wine) must be in the \\?\ form.
rm -rf "$long" && make_installation "$long"
WINEDEBUG=trace+file "$wine" "$windows_cli" "$(winpath "$long")" > /dev/null 2> "$work/long.trace" || true
calls="$(grep -a 'Sixty-characters' "$work/long.trace" | grep -aE 'trace:file:[A-Za-z]+W \(?L"' || true)"
if [ -z "$calls" ]; then
  fail "long: Wine traced no file call below the long path"
elif grep -avF 'L"\\\\?\\Z:' <<<"$calls" > "$work/long.plain"; then
  fail "long: file calls with a plain long path: $(cut -c1-120 "$work/long.plain" | head -n 3)"
else
  passed=$((passed + 1))
fi

# --log written with "/" in a folder that does not exist: a usage error, nothing touched.
make_installation "$work/Slash/UT"
before="$(snapshot "$work/Slash/UT")"
status=0
"$wine" "$windows_cli" --log "Z:$work/Missing/log.txt" "$(winpath "$work/Slash/UT")" \
  > "$work/slash.out" 2> "$work/slash.err" || status=$?
if [ "$status" -ne 2 ]; then
  fail "slash: exit status $status, not 2: $(cat "$work/slash.err")"
elif ! grep -qF 'no such folder for --log: Z:'"${work//\//\\}"'\Missing\' "$work/slash.err"; then
  fail "slash: the error does not name the folder: $(cat "$work/slash.err")"
elif [ "$(snapshot "$work/Slash/UT")" != "$before" ]; then
  fail "slash: the installation was changed"
else
  passed=$((passed + 1))
fi

# On a console (a terminal, here a pseudo-terminal under script) every name shows right: a
# file name with Latin and Cyrillic letters in a log line.
make_installation "$work/Console/UT" && mkdir "$work/Console/UT/Maps"
printf 'map' > "$work/Console/UT/Textures/DM-Näher-Зал.unr"
status=0
script -qec "stty cols 1000; '$wine' '$windows_cli' '$(winpath "$work/Console/UT")'" /dev/null \
  > "$work/console.out" 2>&1 || status=$?
# Without the terminal's cursor and erase codes and the CRs.
sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' "$work/console.out" > "$work/console.text"
if [ "$status" -ne 0 ]; then
  fail "console: exit status $status: $(cat "$work/console.text")"
elif ! grep -aq "found DM-Näher-Зал.unr in " "$work/console.text"; then
  fail "console: the name does not show right: $(grep -a 'found' "$work/console.text")"
else
  passed=$((passed + 1))
fi

# The program's resources: an icon of 16, 32, 48 and 256 pixels, version 1.0, and a manifest
# that declares long paths.
if ! command -v wrestool >/dev/null; then
  fail "resources: wrestool (icoutils) is missing"
else
  resources="$(wrestool -l "$windows_cli" 2>&1 || true)"
  wrestool -x -t 14 "$windows_cli" > "$work/icon.ico" 2>/dev/null || true
  sizes="$(icotool -l "$work/icon.ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\).*/\1/p' |
    sort -n | tr '\n' ' ')"
  wrestool -x --raw -t 16 "$windows_cli" > "$work/version" 2>/dev/null || true
  version="$(iconv -c -f UTF-16LE -t UTF-8 "$work/version" 2>/dev/null | tr -c '[:print:]' '\n')"
  # VS_FIXEDFILEINFO: its signature, its structure's version, file version 1.0.0.0.
  fixed="$(od -An -tx1 -v "$work/version" | tr -d ' \n')"
  manifest="$(wrestool -x --raw -t 24 "$windows_cli" 2>/dev/null || true)"
  if [ "$sizes" != "16 32 48 256 " ]; then
    fail "resources: icon sizes '$sizes' in: $resources"
  elif ! grep -qx 'FileVersion' <<<"$version" || ! grep -qx '1.0' <<<"$version" ||
    ! grep -qx 'zendrik-cli.exe' <<<"$version" ||
    [[ "$fixed" != *bd04effe000001000000010000000000* ]]; then
    fail "resources: no version 1.0 of zendrik-cli.exe in: $resources"
  elif ! grep -q '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>' \
    <<<"$manifest"; then
    fail "resources: no long path declaration in the manifest: $manifest"
  else
    passed=$((passed + 1))
  fi
fi

# --find reads the game's registry key, as its installer writes it, in the 32-bit view.
key='HKLM\Software\Unreal Technology\Installed Apps\UnrealTournament'
make_installation "$work/Found UT"
"$wine" reg add "$key" /v Folder /d "$(winpath "$work/Found UT")" /f /reg:32 >/dev/null 2>&1 ||
  fail "--find: the registry key could not be made"
found="$("$wine" "$windows_cli" --find 2>/dev/null | tr -d '\r')"
"$wine" reg delete "$key" /f /reg:32 >/dev/null 2>&1 || true
if ! grep -qxF "$(winpath "$work/Found UT")\\" <<<"$found"; then
  fail "--find did not name $(winpath "$work/Found UT")\\: $found"
else
  passed=$((passed + 1))
fi

echo "zendrik-cli.exe under Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
