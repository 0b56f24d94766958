#!/usr/bin/env bash
# Code replacement of one long text cell: a line of 400,000 characters with 133,334 occurrences
# of a meaning, written into a text item of 2,050 bytes. The time must grow linearly with the
# cell: the goal is well under a tenth of a second.
#
#   bench/replacement.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh

require_tools cmake:cmake ninja:ninja-build python3:python3 /usr/bin/time:time
make_scratch
build_for_users morvane-cli

home=$SCRATCH/home
mkdir -p "$home"
printf 'Cell,2050,N,s,1,Cell,codes.tsv\r\n' >"$home/def.txt"
printf '64\tat\r\n' >"$home/codes.tsv"
printf '[FileInfo]\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=2050\r\nBRecordCount=1\r\n' >"$home/t.ini"
python3 -c "import sys; open(sys.argv[1], 'wb').write(b'\0' * 2050)" "$home/data.bin"
python3 -c "import sys; open(sys.argv[1], 'w').write('//Cell\n' + 'atx' * 133334 + '\n')" "$home/data.csv"
/usr/bin/time -f "to-binary of one 400,000-character cell: %e s" "$BUILD/morvane-cli" --quiet --home "$home" \
    to-binary --target "$home/t.ini" --binary "$home/data.bin" --text "$home/data.csv" --no-backup --yes
