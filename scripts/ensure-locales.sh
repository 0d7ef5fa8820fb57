#!/usr/bin/env bash
# Makes sure the Japanese UTF-8 and Shift-JIS locales exist, so the tests and
# the demo can run the program under a Japanese default locale.
set -euo pipefail
have() { locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d '-' | grep -qx "$1"; }
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
have "ja_jp.utf8" || $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || true
have "ja_jp.sjis" || $SUDO localedef -i ja_JP -f SHIFT_JIS ja_JP.SJIS 2>/dev/null || true
exit 0
