#!/usr/bin/env bash
# Runs atspi_names.py in a session bus of its own (which starts the accessibility bus on demand)
# and a virtual X display: the platform's accessibility bridge needs a real windowing system.
# Exits 77 (skipped) when a piece is missing.
set -u
program=$1
here=$(dirname "$0")
# Debian's python, which has the python3-pyatspi package.
python=/usr/bin/python3
for tool in dbus-run-session xvfb-run "$python"; do
  command -v "$tool" >/dev/null || { echo "SKIP: manca $tool"; exit 77; }
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || { echo "SKIP: manca at-spi2-core"; exit 77; }
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
exec dbus-run-session -- xvfb-run -a "$python" "$here/atspi_names.py" "$program"
