# shellcheck shell=bash
# Expectations for the shell tests: each prints one line when it fails, and check_finish ends the
# test with status 1 when any did. Sourced, not run.

check_failures=0
check_count=0

check_fail() {  # NAME DETAIL...
    check_failures=$((check_failures + 1))
    printf 'FAIL: %s\n' "$1"
    shift
    printf '  %s\n' "$@"
}

check_eq() {  # NAME EXPECTED ACTUAL
    check_count=$((check_count + 1))
    [ "$2" = "$3" ] || check_fail "$1" "expected: $2" "actual:   $3"
}

check_contains() {  # NAME NEEDLE HAYSTACK
    check_count=$((check_count + 1))
    case $3 in
        *"$2"*) ;;
        *) check_fail "$1" "expected to find: $2" "in: $3" ;;
    esac
}

check_present() {  # NAME PATH
    check_count=$((check_count + 1))
    [ -e "$2" ] || check_fail "$1" "missing: $2"
}

check_absent() {  # NAME PATH
    check_count=$((check_count + 1))
    if [ -e "$2" ] || [ -L "$2" ]; then
        check_fail "$1" "should not exist: $2"
    fi
}

check_finish() {
    if [ "$check_failures" -gt 0 ]; then
        echo "$check_failures of $check_count checks failed"
        exit 1
    fi
    echo "all $check_count checks passed"
    exit 0
}
