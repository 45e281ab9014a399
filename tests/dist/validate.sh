#!/usr/bin/env bash
# validate.sh DESKTOP-FILE METAINFO-FILE: both pass their validators without
# errors or warnings (desktop-file-validate's hints are advice only).
set -uo pipefail
desktop=$1 metainfo=$2
status=0
out=$(desktop-file-validate "$desktop" 2>&1) || status=1
if grep -E ': (error|warning):' <<<"$out"; then status=1; fi
appstreamcli validate --no-net --no-color "$metainfo" || status=1
exit $status
