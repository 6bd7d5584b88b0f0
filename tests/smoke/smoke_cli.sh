#!/usr/bin/env bash
# The command-line tool reads the sample courseware: its index, and every unit, which must hold no fault.
set -euo pipefail
cli="$1"
sample="$2"
"$cli" index "$sample" > /dev/null
"$cli" check "$sample"
