#!/usr/bin/env bash
# Makes the manuals the import and publish benchmarks are measured on, from the Valgrind
# manual installed with valgrind (/usr/share/doc/valgrind/html), printed to PDF by
# headless Chromium (US Letter) and put together with qpdf:
#   OUT/manual-196.pdf    its first 196 pages
#   OUT/manual-1568.pdf   the 196 pages eight times over
#
#   bench/make-manual-pdf.sh OUT
#
# Needs chromium, qpdf and valgrind's documentation (apt-get install chromium qpdf valgrind).
set -euo pipefail
out=${1:?usage: make-manual-pdf.sh OUT}
html=/usr/share/doc/valgrind/html
for tool in chromium qpdf; do
  command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 1; }
done
[ -d "$html" ] || { echo "$html is missing (the valgrind package brings it)" >&2; exit 1; }
mkdir -p "$out"
parts=$(mktemp -d)
trap 'rm -rf "$parts"' EXIT
# The chapters in the manual's own order, then the release notes for length.
chapters="index manual-intro manual-core manual-core-adv mc-manual cg-manual cl-manual hg-manual drd-manual
          ms-manual dh-manual lk-manual nl-manual bbv-manual manual-writing-tools design-impl FAQ dist.news"
files=()
for chapter in $chapters; do
  chromium --headless --no-sandbox --disable-gpu --no-pdf-header-footer \
    --print-to-pdf="$parts/$chapter.pdf" "file://$html/$chapter.html" >/dev/null 2>&1
  files+=("$parts/$chapter.pdf")
done
qpdf --empty --pages "${files[@]}" -- "$parts/all.pdf"
qpdf --empty --pages "$parts/all.pdf" 1-196 -- "$out/manual-196.pdf"
copies=()
for _ in 1 2 3 4 5 6 7 8; do copies+=("$out/manual-196.pdf"); done
qpdf --empty --pages "${copies[@]}" -- "$out/manual-1568.pdf"
for pdf in "$out/manual-196.pdf" "$out/manual-1568.pdf"; do
  echo "$pdf: $(qpdf --show-npages "$pdf") pages, $(stat -c %s "$pdf") bytes"
done
