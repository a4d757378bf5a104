#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench) and runs them all in one go: start-up and peak
# memory as the user sees them on an X server, print job and Save then Load against their
# bare-Qt floors, then the whole printing process against another label program, for one sheet
# and for a member list of 200. Ends with one table: figure, value, floor, ratio,
# target, PASS or MISS.   scripts/bench.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
quick=""
[ "${1:-}" = "--quick" ] && quick="--quick"

scripts/deps.sh --bench
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARZELLO_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" \
  --target quarzello-bench quarzello quarzello-startup-x quarzello-bare-window >/dev/null

work=$(mktemp -d)
trap 'kill "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
# Every window but the X start-up's is drawn by Qt's offscreen platform.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

echo "Machine: $(nproc) cores, $(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), \
$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) memory, $(uname -sr)"
echo "Medians of repeated runs; value and floor measured in this same run, taking turns."

rows="$work/rows.tsv"
echo
echo "Start-up as the user sees it: a new process on an X server (Xvfb), from exec to the"
echo "server's first damage report on the window, and the peak memory then; the program (with"
echo "a default data file, so no greeting) against a bare Qt window of the same size and flags"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
# The sample card, in the program's own data file format (Windows-1252, CR LF), 8 rows of 4:
# the default data file of the start-up, the card file of the whole process.
printf '%s\r\n' "Dott." "Mario" "Rossi" "Presidente circolo" "Via Roma 1" "00100" "Roma (RM)" \
  "+39 06 1234567" "+39 333 1234567" "mario.rossi@esempio.it" "www.esempio.it" "8" "4" |
  iconv -f UTF-8 -t WINDOWS-1252 >"$work/sample.qcf"
mkdir "$work/program"
cp "$build/quarzello" "$work/program/"
cp "$work/sample.qcf" "$work/program/Quarzo.qdf"
starts=31
[ -n "$quick" ] && starts=15
DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb "$build/bench/quarzello-startup-x" "$starts" \
  461x301 -- "$work/program/quarzello" -- "$build/bench/quarzello-bare-window" \
  -- "$build/bench/quarzello-bare-window" --label >"$work/startup.txt"
# "a|b|c milliseconds KiB" per start (the program, the bare window, the window with one label):
# medians of each, then the rows.
awk -v OFS='\t' '
  function median(list, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && list[j - 1] > list[j]; j--) {
      t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
  }
  $1 == "a" { am[++na] = $2; ak[na] = $3 }
  $1 == "b" { bm[++nb] = $2; bk[nb] = $3 }
  $1 == "c" { cm[++nc] = $2; ck[nc] = $3 }
  END {
    a = median(am, na); b = median(bm, nb); c = median(cm, nc); r = a / b
    printf "start-up on X, exec to first paint\t%.1f ms\t%.1f ms\t%.2f\t<= 1.25\t%s\n", a, b, r, (r <= 1.25 ? "PASS" : "MISS")
    printf "the same against a window with one label\t%.1f ms\t%.1f ms\t%.2f\t-\tinfo\n", a, c, a / c
    a = median(ak, na) / 1024; b = median(bk, nb) / 1024; c = median(ck, nc) / 1024; r = a / b
    printf "peak memory at that first paint\t%.1f MiB\t%.1f MiB\t%.2f\t<= 1.25\t%s\n", a, b, r, (r <= 1.25 ? "PASS" : "MISS")
    printf "the same against a window with one label\t%.1f MiB\t%.1f MiB\t%.2f\t-\tinfo\n", a, c, a / c
  }' "$work/startup.txt" | tee -a "$rows"
kill "$xvfb"

echo
echo "The rest under QT_QPA_PLATFORM=offscreen: no display is needed."
"$build/bench/quarzello-bench" $quick --rows "$rows"

echo
echo "Whole process: quarzello --pdf against glabels-3-batch, 4 x 8 sheet of the sample card"
quarzello="$build/quarzello"
project=bench/businesscards-4x8.glabels
# Both must really have drawn the 32 cards, every one with all eight lines.
"$quarzello" --pdf "$work/quarzello.pdf" "$work/sample.qcf"
glabels-3-batch -o "$work/glabels.pdf" "$project" >/dev/null
for pdf in quarzello glabels; do
  text=$(pdftotext "$work/$pdf.pdf" -)
  for line in "Dott. Mario Rossi" "Presidente circolo" "Via Roma 1" "00100 Roma (RM)" \
    "Tel.: +39 06 1234567" "Cell.: +39 333 1234567" "e-mail: mario.rossi@esempio.it" \
    "Internet: www.esempio.it"; do
    count=$(grep -cF -- "$line" <<<"$text" || true)
    if [ "$count" -ne 32 ]; then
      echo "$pdf.pdf holds \"$line\" $count times instead of 32: no comparison" >&2
      exit 1
    fi
  done
done
echo "  both PDF files hold the 32 cards with their eight lines"

runs=20
[ -n "$quick" ] && runs=5
hyperfine --shell=none --warmup 3 --runs "$runs" --export-csv "$work/whole.csv" \
  --command-name "quarzello --pdf" "$quarzello --pdf $work/quarzello.pdf $work/sample.qcf" \
  --command-name glabels-3-batch "glabels-3-batch -o $work/glabels.pdf $project"

# command,mean,stddev,median,user,system,min,max (seconds)
awk -F, -v OFS='\t' '
  NR > 1 { median[$1] = $4 }
  END {
    q = median["quarzello --pdf"]; g = median["glabels-3-batch"]
    speedup = g / q
    printf "whole process vs glabels-3-batch (speed-up)\t%.1f ms\t%.1f ms\t%.1fx\t>= 30x\t%s\n",
      q * 1000, g * 1000, speedup, (speedup >= 30 ? "PASS" : "MISS")
  }' "$work/whole.csv" >>"$rows"

echo
echo "The whole club: a list of 200 members (the sample card, each its own name) into one PDF of"
echo "200 sheets, quarzello --elenco against glabels-3-batch merging the same members"
members=200
header="Titolo;Nome;Cognome;Incarico;Indirizzo;CAP;Citta;Telefono;Cellulare;Email;Sito;Righe;Colonne"
member() {
  echo "Dott.;Mario$1;Rossi;Presidente circolo;Via Roma 1;00100;Roma (RM);+39 06 1234567;+39 333 1234567;mario.rossi@esempio.it;www.esempio.it;8;4"
}
{
  echo "$header"
  for i in $(seq "$members"); do member "$i"; done
} >"$work/soci.csv"
# glabels-3-batch merges its copies collated (each sheet would hold 32 different members), so
# its list holds each member 32 times in a row: the same 200 sheets, one member each.
{
  echo "$header"
  for i in $(seq "$members"); do for _ in $(seq 32); do member "$i"; done; done
} >"$work/soci-32.csv"
# The same card with the list's fields merged in.
sed -e 's|>Dott. Mario Rossi<|>${Titolo} ${Nome} ${Cognome}<|' -e 's|>Presidente circolo<|>${Incarico}<|' \
  -e 's|>Via Roma 1<|>${Indirizzo}<|' -e 's|>00100 Roma (RM)<|>${CAP} ${Citta}<|' \
  -e 's|>Tel.: +39 06 1234567<|>Tel.: ${Telefono}<|' -e 's|>Cell.: +39 333 1234567<|>Cell.: ${Cellulare}<|' \
  -e 's|>e-mail: mario.rossi@esempio.it<|>e-mail: ${Email}<|' -e 's|>Internet: www.esempio.it<|>Internet: ${Sito}<|' \
  -e "s|<Data/>|<Merge type=\"Text/Semicolon/Line1Keys\" src=\"$work/soci-32.csv\"/><Data/>|" \
  "$project" >"$work/soci.glabels"
"$quarzello" --pdf "$work/club.pdf" --elenco "$work/soci.csv"
glabels-3-batch -i "$work/soci-32.csv" -o "$work/glabels-club.pdf" "$work/soci.glabels" >/dev/null
# Both: 200 pages, the first and the last member's 32 cards on their own sheets, every card whole.
for pdf in club glabels-club; do
  pages=$(pdfinfo "$work/$pdf.pdf" | awk '/^Pages:/ {print $2}')
  first=$(pdftotext -f 1 -l 1 "$work/$pdf.pdf" - | grep -oF "Dott. Mario1 Rossi" | wc -l)
  last=$(pdftotext -f "$members" -l "$members" "$work/$pdf.pdf" - |
    grep -oE "Dott. Mario[0-9]+ Rossi" | grep -cxF "Dott. Mario$members Rossi" || true)
  whole=$(pdftotext "$work/$pdf.pdf" - | grep -oF "Internet: www.esempio.it" | wc -l)
  if [ "$pages" -ne "$members" ] || [ "$first" -ne 32 ] || [ "$last" -ne 32 ] ||
    [ "$whole" -ne $((32 * members)) ]; then
    echo "$pdf.pdf: $pages pages, $first and $last cards of the first and last member," \
      "$whole cards: no comparison" >&2
    exit 1
  fi
done
echo "  both PDF files hold the $members sheets of one member's 32 cards each"
club_runs=3
[ -n "$quick" ] && club_runs=2
hyperfine --shell=none --warmup 0 --runs "$club_runs" --export-csv "$work/club.csv" \
  --command-name "quarzello --elenco" "$quarzello --pdf $work/club.pdf --elenco $work/soci.csv" \
  --command-name "glabels-3-batch merge" \
  "glabels-3-batch -i $work/soci-32.csv -o $work/glabels-club.pdf $work/soci.glabels"
awk -F, -v OFS='\t' -v members="$members" '
  NR > 1 { median[$1] = $4 }
  END {
    q = median["quarzello --elenco"]; g = median["glabels-3-batch merge"]
    printf "%d-member list vs glabels-3-batch merge (speed-up)\t%.0f ms\t%.0f ms\t%.1fx\t> 1x\t%s\n",
      members, q * 1000, g * 1000, g / q, (g > q ? "PASS" : "MISS")
  }' "$work/club.csv" >>"$rows"

echo
echo "Results (floor: for the whole process, the other program's time)"
{
  printf 'figure\tvalue\tfloor\tratio\ttarget\tresult\n'
  cat "$rows"
} | column -t -s $'\t'
