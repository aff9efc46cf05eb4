#!/usr/bin/env bash
# Runs a test program on the X platform of a private Xvfb display. usage: under-xvfb.sh SOURCE_FOLDER PROGRAM [ARGS...]
set -euo pipefail
root=$1; shift
. "$root/scripts/private-xvfb.sh"
start_private_xvfb
export QT_QPA_PLATFORM=xcb
"$@"
