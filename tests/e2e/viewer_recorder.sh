#!/bin/sh
# Stands in for the help viewer in the end-to-end tests: one line per start, its argument.
printf '%s\n' "$*" >>"${QUORIX_VIEWER_LOG:?}"
