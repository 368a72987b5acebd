#!/bin/sh
# Runs the test functions of a QTest program that none of its other CTest entries names, so a
# function added later runs without being listed anywhere.
#   qtest-remaining.sh PROGRAM [FUNCTION...]    FUNCTION: those the other entries run
set -eu
program=$1
shift
functions=$("$program" -functions)
remaining=""
for function in $(printf '%s\n' "$functions" | sed -n 's/()$//p'); do
    case " $* " in
        *" $function "*) ;;
        *) remaining="$remaining $function" ;;
    esac
done
if [ -z "$remaining" ]; then
    echo "every test function of $program runs in another entry"
    exit 0
fi
# exec: CTest's timeout then stops the program itself, not a shell it would outlive.
# shellcheck disable=SC2086 # function names are identifiers
exec "$program" $remaining
