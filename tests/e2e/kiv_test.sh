# Sourced first by every end-to-end test of kiv that takes the arguments
# KIV ARTIFACTS: checks them, sets `kiv`, `artifacts` and `here`, brings in the
# driver and window helpers, and stops kiv whatever way the test ends.
#
#   source "$(dirname "${BASH_SOURCE[0]}")/kiv_test.sh" "$@"
(($# == 2)) || { echo "usage: $(basename "$0") KIV ARTIFACTS" >&2; exit 2; }
kiv=$1 artifacts=$2
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/e2e/kiv_driver.sh
source "$here/kiv_driver.sh"
# shellcheck source=tests/e2e/kiv_windows.sh
source "$here/kiv_windows.sh"
trap stopKiv EXIT
mkdir -p "$artifacts"
