#!/usr/bin/env bash
# The command-line tool reads the sample courseware's index.
set -euo pipefail
cli="$1"
sample="$2"
"$cli" index "$sample" > /dev/null
