#!/usr/bin/env bash
# The program comes up in a copy of the sample courseware and stays up until it is told to quit.
set -euo pipefail
program="$1"
sample="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$sample" "$work/courseware"
export TAVOLA_CONFIG_DIR="$work/config"
export XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$work/courseware"
TAVOLA_QUIT_AFTER_MS=1500 "$program"
