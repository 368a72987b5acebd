#!/usr/bin/env bash
# Refreshes every subsystem's Russian .ts file from its sources and reports texts that still
# need a translation. Exits non-zero when any text is unfinished.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
for ts in */i18n/*_ru.ts; do
    dir=${ts%%/*}
    lupdate -silent -no-obsolete "$dir" -ts "$ts"
    unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
    total=$(grep -c '<message' "$ts" || true)
    printf '%-40s %4d messages, %d unfinished\n' "$ts" "$total" "$unfinished"
    [ "$unfinished" -eq 0 ] || status=1
done
exit $status
