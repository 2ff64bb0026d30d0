#!/bin/sh
# The calcium command of an installation (bin/calcium): the package and the
# legend in share/calcium beside bin.
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
PYTHONPATH="$here/../share/calcium/python${PYTHONPATH:+:$PYTHONPATH}" exec /usr/bin/python3 -m calcium "$@"
