# Sourced by the end-to-end scripts: counts cases and prints one line each.
passed=0
failed=0

# check DESCRIPTION COMMAND...: one case, passed when COMMAND succeeds.
check() {
  local description=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok   $description"
  else
    failed=$((failed + 1))
    echo "FAIL $description"
  fi
}
