# shellcheck shell=bash
# Expectations for the shell tests, sourced: a failed one prints its name and details;
# check_finish ends the test, with status 1 when any failed.
check_failures=0 check_count=0
# The scripts run with the system's tools, as on a user's machine: a version manager's shims
# first on PATH cost a tenth of a second or more per python3 call, and fetch-data makes hundreds.
PATH=/usr/bin:/bin:$PATH
check_fail() {  # NAME DETAIL...
    check_failures=$((check_failures + 1))
    printf 'FAIL: %s\n' "$1"
    printf '  %s\n' "${@:2}"
}
check_eq() {  # NAME EXPECTED ACTUAL
    check_count=$((check_count + 1))
    [ "$2" = "$3" ] || check_fail "$1" "expected: $2" "actual:   $3"
}
check_contains() {  # NAME NEEDLE HAYSTACK
    check_count=$((check_count + 1))
    [[ $3 == *"$2"* ]] || check_fail "$1" "expected to find: $2" "in: $3"
}
check_present() { check_eq "$1" yes "$([ -e "$2" ] && echo yes)"; }
check_finish() {
    echo "$((check_count - check_failures)) of $check_count checks passed"
    exit $((check_failures > 0))
}
