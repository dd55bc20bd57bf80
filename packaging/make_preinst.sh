#!/bin/sh
# Writes the package's pre-installation script: the script text followed by the removal program
# and the Setup library as a base64 tar archive.
# Usage: make_preinst.sh TEMPLATE PROGRAM LIBRARY OUTPUT
set -eu
template=$1 program=$2 library=$3 output=$4
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$program" "$library" "$folder/"
{
  cat "$template"
  tar -cf - -C "$folder" --owner=0 --group=0 --mtime=@0 --sort=name \
    "$(basename "$program")" "$(basename "$library")" | base64
} > "$output.tmp"
chmod 0755 "$output.tmp"
mv "$output.tmp" "$output"
