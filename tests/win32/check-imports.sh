#!/usr/bin/env bash
# The program writes nothing and talks to nobody: its import table names no
# network library and no function that creates, writes or removes files or
# registry entries. The C runtime's stream output (to the standard streams of
# a program that has none) is the one writing it brings in.
#   check-imports.sh <objdump> <kelvaro.exe>
set -euo pipefail
objdump=$1
program=$2

table=$("$objdump" -p "$program")
imports=$(printf '%s\n' "$table" | awk '/DLL Name:/{dll=tolower($3); next} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print dll ":" $3}')
[ -n "$imports" ] || { echo "no imports read from $program"; exit 1; }

status=0
# Every DLL named, also one imported by ordinal only.
dlls=$(printf '%s\n' "$table" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
for dll in $dlls; do
  case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|shell32.dll|winmm.dll|msvcrt.dll) ;;
    *) echo "imports from $dll, which is not one of the expected system DLLs"; status=1 ;;
  esac
done

# Networking, files, directories, registry, and the C runtime's file opening.
forbidden='^(ws2_32|wsock32|mswsock|wininet|winhttp|urlmon|iphlpapi|dnsapi|advapi32)\.dll:|:(CreateFile|WriteFile|CopyFile|MoveFile|DeleteFile|CreateDirectory|RemoveDirectory|SetFileAttributes|Reg[A-Z]|WritePrivateProfile|WriteProfile|_?w?fopen|_w?fsopen|_w?sopen|freopen|_wfreopen|OpenFile|_lcreat|_lopen|_w?open|_creat|_write|_w?unlink|_w?mkdir|_w?rename|rename|remove|tmpfile|socket|connect|Internet|WinHttp|URLDownload)'
found=$(printf '%s\n' "$imports" | grep -E "$forbidden" || true)
if [ -n "$found" ]; then
  echo "forbidden imports:"
  printf '  %s\n' $found
  status=1
fi

count=$(printf '%s\n' "$imports" | wc -l)
[ "$status" -eq 0 ] && echo "$count imported functions from: $(echo $dlls); none writes files or registry, none talks to a network"
exit "$status"
