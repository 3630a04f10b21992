#!/bin/sh
# The demo medium's setup program: it only says that it ran, and with what.
message="Orvella Setup would install the product now."
if [ $# -gt 0 ]; then
    message="Orvella Setup would install the product now, with: $*"
fi
if command -v zenity >/dev/null 2>&1 && [ -n "${DISPLAY:-}" ]; then
    zenity --info --title="Orvella Setup" --text="$message"
else
    echo "$message"
fi
