#!/usr/bin/env bash
# Runs the built zendrik-cli on installations made here and checks its output, files and exit
# statuses as a user at a terminal would see them.
set -euo pipefail
cli="${ZENDRIK_CLI:?set ZENDRIK_CLI to the zendrik-cli binary}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

ini=$'[Engine.GameEngine]\r\nServerPackages=SoldierSkins\r\n'
for ut in One Two; do
  mkdir -p "$work/$ut/System" "$work/$ut/Textures" "$work/$ut/Sounds" "$work/$ut/Maps"
  printf '%s' "$ini" > "$work/$ut/System/UnrealTournament.ini"
done
printf 'Object=(Name=Red.Red,Class=Texture)\r\n' > "$work/One/System/Red.int"
printf 'red' > "$work/One/System/RED.UTX"

out="$("$cli" --copy --log "$work/log.txt" "$work/One" "$work/Two/")" || fail "exit status $?"
grep -qx "    found RED.UTX in $work/One/system/  ...moved to $work/One/textures/" <<<"$out" \
  || fail "move line missing: $out"
[ "$(cat "$work/Two/Textures/Red.utx")" = red ] || fail "texture not copied"
[ "$(cat "$work/One/System/UnrealTournament.ini")" = $'[Engine.GameEngine]\r\nServerPackages=Red\r\nServerPackages=SoldierSkins\r' ] \
  || fail "ini of One"
head -n 1 "$work/log.txt" | grep -qx "Processing : $work/One/\.\.\."$'\r' || fail "saved log"

# A native Linux installation, without UnrealTournament.exe, named by its 64-bit ut-bin in
# System64 (a path relative to the working folder): the installation is the folder above.
mkdir -p "$work/Native/System" "$work/Native/System64" "$work/Native/Textures"
printf '%s' "$ini" > "$work/Native/System/UnrealTournament.ini"
printf 'ELF' > "$work/Native/System64/ut-bin-amd64"
printf 'blue' > "$work/Native/System/Blue.utx"
out="$(cd "$work" && "$cli" Native/System64/ut-bin-amd64)" || fail "ut-bin-amd64: exit status $?"
head -n 1 <<<"$out" | grep -qx "Processing : Native/\.\.\." || fail "ut-bin-amd64: $out"
[ "$(cat "$work/Native/Textures/Blue.utx")" = blue ] || fail "texture of Native not moved"
[ "$(cat "$work/Native/System64/ut-bin-amd64")" = ELF ] || fail "ut-bin-amd64 changed"

set +e
"$cli" "$work/Nowhere" >/dev/null 2>&1; [ $? -eq 2 ] || fail "missing folder must give 2"
rm "$work/Two/System/UnrealTournament.ini"
"$cli" "$work/Two" >/dev/null 2>"$work/err"; [ $? -eq 1 ] || fail "failed folder must give 1"
grep -q "could not read $work/Two/System/UnrealTournament.ini" "$work/err" || fail "stderr: $(cat "$work/err")"
echo "cli end to end: 1 passed, 0 failed"
