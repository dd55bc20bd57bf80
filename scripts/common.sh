# Shared by scripts/run and scripts/test: makes sure the Debian packages the build needs are
# there, installing them when run as root and otherwise saying exactly what to install.
# shellcheck shell=bash

QUENBROOK_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  qt6-charts-dev libqt6opengl6-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  openssl
  poppler-utils desktop-file-utils appstream dpkg-dev file
)

quenbrook_missing_packages() {
  local missing=()
  for package in "${QUENBROOK_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  echo "${missing[@]}"
}

quenbrook_ensure_packages() {
  local missing
  missing=$(quenbrook_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: $missing"
    DEBIAN_FRONTEND=noninteractive apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
  else
    echo "These packages are missing. Install them with:" >&2
    echo "  sudo apt-get install -y --no-install-recommends $missing" >&2
    exit 1
  fi
}
