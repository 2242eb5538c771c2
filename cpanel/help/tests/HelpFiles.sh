#!/usr/bin/env bash
# Checks the built help files and the online help folder:
#   HelpFiles.sh WINERUN PYTHON CHECK_HELP.PY HELP_DIR SITE_DIR
# The check reads the files on the Linux side; WINERUN is the tree's Wine
# runner, handed to every script test.
set -uo pipefail
shift
python=$1
check=$2
shift 2
exec "$python" "$check" "$@"
