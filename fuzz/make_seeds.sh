#!/usr/bin/env bash
# Seeds the fuzz targets start from, made from the project's own sample files
# with the fuzz build's orbo-cli: make_seeds.sh FUZZ_BUILD_DIR OUT_DIR
set -euo pipefail
build=$1
out=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cli=$build/bin/orbo-cli
example_json=$source_dir/resources/data/examples/ex1.json
example_db=$build/bin/data/examples/ex1.2db
export ASAN_OPTIONS=detect_leaks=0

for target in fuzz_database_file fuzz_protected_file fuzz_merge fuzz_settings fuzz_language \
              fuzz_json_image fuzz_access fuzz_csv fuzz_encrypted; do
  mkdir -p "$out/$target"
done
cp "$example_db" "$out/fuzz_database_file/ex1.2db"
cp "$example_db" "$out/fuzz_merge/ex1.2db"
sed -e 's/"PasswordOn": false/"PasswordOn": true/' -e 's/"Password": ""/"Password": "fuzz"/' \
  "$example_json" >"$out/protected.json"
"$cli" build "$out/protected.json" "$out/fuzz_protected_file/ex1-protected.2db"
cp "$out/fuzz_protected_file/ex1-protected.2db" "$out/fuzz_merge/"
cp "$source_dir/resources/data/root.dat" "$out/fuzz_settings/root.dat"
cp "$source_dir/resources/Texts/english.txt" "$out/fuzz_language/english.txt"
cp "$example_json" "$out/fuzz_json_image/ex1.json"
"$cli" export-mdb "$example_db" "$out/fuzz_access/ex1.mdb"
"$cli" export-csv "$example_db" "$out/fuzz_csv" >/dev/null
mkdir -p "$out/csv-tab"
"$cli" export-csv "$example_db" "$out/csv-tab" --delimiter tab --no-bom --flags words >/dev/null
for file in "$out"/csv-tab/*.csv; do cp "$file" "$out/fuzz_csv/tab-$(basename "$file")"; done
# The container's seeds: a classic file (sealed and opened again by the
# target) and a header at the least key cost, with chunks no key opens.
cp "$out/fuzz_protected_file/ex1-protected.2db" "$out/fuzz_encrypted/"
{
  printf '\x89CVDB\r\n\x1a\x01\x00\x01\x01\x01\x00\x00\x00\x08\x00\x00\x00\x00\x04\x00\x00'
  head -c 80 /dev/zero
} >"$out/fuzz_encrypted/header.bin"
