#!/bin/bash
# Draws the four-field fixture with the hand-drawing program, then lets a
# headless browser render it: the picture must show its frame, lines and
# text, the analysed fixture its four fields in their greys, the clipped
# fixture only the parts of its lines inside the frame, and a malformed
# document must come back as a parser error, so the check can tell the two
# apart. Skips (77) where no browser is installed,
# unless SOLVARINTH_REQUIRE_BROWSER is set (as CI sets it): then it fails.
#   browser_check.sh DRAWFILE FIXTURES SCRATCH
set -u
drawfile=$1
fixtures=$2
scratch=$3

browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  if [ -n "${SOLVARINTH_REQUIRE_BROWSER:-}" ]; then
    echo "no chromium, and the browser check is required here"
    exit 1
  fi
  echo "no chromium: browser check skipped"
  exit 77
fi

# Chromium reserves far more address space than it uses and stops with a
# trap under a limit on it (a harness that caps each test's memory sets
# one): the limit is lifted as far as it may be, and where it stays the
# browser cannot run here, which says nothing of the picture.
ulimit -S -v "$(ulimit -H -v)" 2> /dev/null
if [ "$(ulimit -v)" != unlimited ]; then
  if [ -n "${SOLVARINTH_REQUIRE_BROWSER:-}" ]; then
    echo "address space limited to $(ulimit -v) kB: chromium cannot start, and the browser check is required here"
    exit 1
  fi
  echo "address space limited to $(ulimit -v) kB: chromium cannot start, browser check skipped"
  exit 77
fi

rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch" || exit 1
printf 'dsfile 62\nscriptfile ff\ncalcmode 1\n' > jx-prefs.txt
printf '%% drawing only\n*\n' > jx-ff.txt
cp "$fixtures/drawing/qk-fourfield.txt" qk-ff.txt
"$drawfile" < /dev/null > drawfile.out 2>&1
if [ ! -s jx-ff.svg ]; then
  echo "no picture drawn:"
  cat drawfile.out
  exit 1
fi

run() {
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --force-device-scale-factor=1 \
    --no-first-run --user-data-dir="$scratch/profile" "$@" 2>> browser.err
}

run --window-size=580,576 --screenshot="$scratch/out.png" "file://$scratch/jx-ff.svg" > /dev/null
if [ ! -s out.png ]; then
  echo "no screenshot:"
  tail -20 browser.err
  exit 1
fi
python3 "$(dirname "$0")/sample_png.py" out.png || exit 1

# Draws a drawing-data fixture in a folder of its own (named as the
# sampler's check of it), screenshots it and samples the pixels.
drawandsample() {
  local name=$1 fixture=$2 what=$3
  mkdir -p "$name"
  cp jx-prefs.txt jx-ff.txt "$name/"
  cp "$fixtures/drawing/$fixture" "$name/qk-ff.txt"
  (cd "$name" && "$drawfile" < /dev/null > drawfile.out 2>&1)
  run --window-size=580,576 --screenshot="$scratch/$name.png" "file://$scratch/$name/jx-ff.svg" > /dev/null
  if [ ! -s "$name.png" ]; then
    echo "no screenshot of $what:"
    cat "$name/drawfile.out"
    exit 1
  fi
  python3 "$(dirname "$0")/sample_png.py" "$name.png" "$name" || exit 1
}

# The same file analysed: its four fields filled under the lines.
drawandsample areas qk-fourareas.txt "the areas"

# Lines that leave the window and come back: no chord across the frame and
# nothing in the margin.
drawandsample clipped qk-clipped.txt "the clipped lines"

run --dump-dom "file://$scratch/jx-ff.svg" > good.dom
if grep -q parsererror good.dom; then
  echo "the picture does not parse:"
  cat good.dom
  exit 1
fi
printf '<?xml version="1.0"?>\n<svg xmlns="http://www.w3.org/2000/svg"><text>a & b <c></text></svg>\n' > bad.svg
run --dump-dom "file://$scratch/bad.svg" > bad.dom
if ! grep -q parsererror bad.dom; then
  echo "a malformed document was not reported:"
  cat bad.dom
  exit 1
fi
echo "browser check passed"
