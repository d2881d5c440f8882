# Sourced by the release tests: the project's root and version, and checks that each print one
# line ("ok      WHAT" or "FAILED  WHAT", which test.sh counts) and go on after a failure.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The one source of the version: CMake's project version.
version=$(sed -n 's/^project(KAPTOR VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
failures=0

check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok      $what"
    else
        echo "FAILED  $what"
        failures=$((failures + 1))
    fi
}
equals() { [ "$1" = "$2" ] || { echo "        got '$1', expected '$2'"; false; }; }
same_file() { cmp -s "$1" "$2"; }
missing() { [ ! -e "$1" ]; }

finish() {  # finish NAME: the summary line and the exit status
    echo "$1: $failures failed"
    [ "$failures" -eq 0 ]
}
