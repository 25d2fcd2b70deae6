#!/usr/bin/env bash
# Saves docs/card-window.png: the card window with a generated straight-line
# plan, drawn on a virtual X display. Needs Xvfb and ImageMagick (installed by
# hand, not by ./kelvo) and a build in build/ (ninja -C build cardwindow_screenshot).
set -euo pipefail
SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$SRC/scripts/dbserver.sh"
DATADIR=$(mktemp -d /tmp/kelvo-shotdb.XXXXXX)
PORT=$(free_port)
DISPLAY_NUMBER=${KELVO_SHOT_DISPLAY:-97}
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x720x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true; db_stop "$DATADIR"; rm -rf "$DATADIR"' EXIT
db_start "$DATADIR" "$PORT"
sleep 1
DISPLAY=":$DISPLAY_NUMBER" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    KELVO_TEST_DB_HOST=127.0.0.1 KELVO_TEST_DB_PORT=$PORT KELVO_SOURCE_DIR="$SRC" \
    "$SRC/build/tests/cardwindow_screenshot" "$SRC/docs/card-window.png"
echo "saved $SRC/docs/card-window.png"
