# Installs the Debian packages a step needs, only those missing. Sourced by the other scripts.

BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev fonts-open-sans fonts-liberation2 fonts-dejavu-core)
FUZZ_PACKAGES=(clang libclang-rt-dev)
DESKTOP_PACKAGES=(xvfb xauth openbox xdotool xclip x11-utils poppler-utils)
PACKAGE_PACKAGES=(dpkg-dev appstream)
# The sanitizer and fuzzing builds: -O1 with line tables only compiles in about 60% of the time
# -O2 -g takes, and a report still names the file and line of every frame.
SANITIZER_BUILD=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")

ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

build_jobs() { nproc 2>/dev/null || echo 2; }
