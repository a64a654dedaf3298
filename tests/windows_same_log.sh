#!/usr/bin/env bash
# Runs the Linux zendrik-cli and the Windows zendrik-cli.exe (under Wine) over the same sample
# installations, one after the other from the same starting state, and checks that both
# print the same log but for the separators, and leave the same files.
set -euo pipefail
linux_cli="${1:?usage: windows_same_log.sh LINUX_CLI WINDOWS_CLI}"
windows_cli="${2:?usage: windows_same_log.sh LINUX_CLI WINDOWS_CLI}"
wine="${WINE:-/usr/lib/wine/wine64}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Two installations with misplaced files, incomplete extensions, unlisted packages,
# extensions only one of them has, and folders in mixed letter case.
make_sample() {
  local root="$1"
  mkdir -p "$root/One/System" "$root/One/TEXTURES" "$root/One/sounds" "$root/One/Maps" "$root/One/Models"
  mkdir -p "$root/Two/system" "$root/Two/Textures" "$root/Two/Sounds" "$root/Two/maps"
  local ini=$'[Engine.GameEngine]\r\nEditPackages=Core\r\nServerPackages=SoldierSkins\r\nServerPackages=BotPack\r\n\r\n[Core.System]\r\nPaths=../System/*.u\r\n'
  printf '%s' "$ini" > "$root/One/System/UnrealTournament.ini"
  printf '%s' "${ini//$'\r'/}" > "$root/Two/system/unrealtournament.ini"
  printf 'Object=(Name=Red.Red,Class=Texture)\r\n' > "$root/One/System/Red.int"
  printf 'red' > "$root/One/System/RED.UTX"
  printf 'MetaClass=Botpack.VoiceMale' > "$root/One/System/Talk.int"
  printf 'talk' > "$root/One/Maps/Talk.uax"
  printf 'MetaClass=Botpack.TournamentPlayer' > "$root/One/Models/Boss.int"
  printf 'boss' > "$root/One/Models/Boss.u"
  printf 'MetaClass=Engine.Mutator' > "$root/Two/system/Mut.int"
  printf 'mut' > "$root/Two/system/Mut.u"
  printf 'MetaClass=Botpack.TournamentGameInfo' > "$root/Two/system/Lost.int"
  printf 'map' > "$root/Two/Textures/DM-Näher.unr"
  printf 'nothing' > "$root/Two/system/Core.int"
}

snapshot() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 md5sum); }

make_sample "$work/sample"
"$linux_cli" --copy --log "$work/linux.txt" "$work/sample/One" "$work/sample/Two" > "$work/linux.out"
snapshot "$work/sample" > "$work/linux.files"

rm -rf "$work/sample"
make_sample "$work/sample"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
WINEDEBUG=-all "$wine" "$windows_cli" --copy --log "$(winpath "$work/windows.txt")" \
  "$(winpath "$work/sample/One")" "$(winpath "$work/sample/Two")" > "$work/windows.out"
snapshot "$work/sample" > "$work/windows.files"

# The Windows log with "Z:\" and "\" spelled as on Linux; the console's CR LF as LF.
sed -e 's/\r$//' -e 's|Z:\\|/|g' -e 's|\\|/|g' "$work/windows.out" > "$work/windows.as-linux"
diff -u "$work/linux.out" "$work/windows.as-linux"
sed -e 's|Z:\\|/|g' -e 's|\\|/|g' "$work/windows.txt" | cmp - "$work/linux.txt"
diff -u "$work/linux.files" "$work/windows.files"
grep -q '  ...moved to ' "$work/linux.out" && grep -q 'extension found: ' "$work/linux.out"
echo "Windows and Linux logs: 1 passed, 0 failed ($(wc -l < "$work/linux.out") lines alike)"
