# Sourced by scripts/run and scripts/test: installs the Debian packages the build and the tests need,
# only those that are missing, so a second run costs nothing.
PLX24_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgtest-dev
  qt6-pdf-dev qt6-svg-dev qt6-translations-l10n
  socat python3-pymodbus python3-serial python3-serial-asyncio mbpoll
  xvfb xauth xdotool imagemagick fonts-dejavu-core
  poppler-utils file lintian
)
# The fuzz targets (fuzz/, the fuzz stage of .ci/run): clang, its libFuzzer and sanitizer runtimes,
# and llvm-symbolizer for readable findings.
PLX24_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev llvm-14)

plx24_install_deps() {
  local missing=()
  local p
  for p in "${PLX24_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

plx24_configure() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$PLX24_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
}

plx24_install_fuzz_deps() {
  local PLX24_PACKAGES=("${PLX24_FUZZ_PACKAGES[@]}")
  plx24_install_deps
}
