#!/usr/bin/env bash
# The main job, shown: installs what is needed, builds the x86_64 Windows program, starts the
# end-to-end bench (a private CUPS scheduler with a capture printer, an X display and a Wine
# prefix), runs ravlen.exe with its main window printing the FILEs, saves a screenshot
# to build/demo/main-window.png, shows the jobs that reached the capture printer and stops
# everything. Usage: scripts/demo.sh [FILE...] (default: the files in samples/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh win64
exec python3 tests/e2e/demo.py --ravlen build/win64/app/ravlen.exe \
    --winauto build/win64/tests/e2e/winauto.exe --out build/demo "$@"
