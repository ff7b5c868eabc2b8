#!/usr/bin/env bash
# Installs, from Debian's packages, everything Veltrim needs to build, run and
# test. Runs as root (or through sudo); does nothing when all is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  # The graph's SVG export.
  qt6-svg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libxrl-dev
  # Dose records and image headers (DICOM), and dsrdump for their tests.
  libdcmtk-dev dcmtk
  clang libclang-rt-14-dev clang-format
  fonts-liberation fonts-ipafont-gothic fontconfig
  xvfb xauth xdotool dpkg-dev
  # CPack's Debian generator runs file(1) on every installed binary.
  file
  gnuplot-nox
  # The report's test reads the PDF's text with pdftotext.
  poppler-utils
  # The Python module, its tests and the plotting example; the check of saved
  # studies against docs/study.schema.json.
  pybind11-dev python3-dev python3-numpy python3-pytest python3-matplotlib python3-jsonschema
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
