#!/bin/sh
# The demo medium's uninstall program: it only says that it ran.
message="Orvella Setup would remove the product now."
if command -v zenity >/dev/null 2>&1 && [ -n "${DISPLAY:-}" ]; then
    zenity --info --title="Orvella Setup" --text="$message"
else
    echo "$message"
fi
