#!/usr/bin/env bash
# Installs with apt-get whatever of Orvella's build and test packages is missing (Debian 12).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev libfontconfig-dev libjpeg-dev libsimpleini-dev libical-dev
  libcurl4-openssl-dev libxml2-dev libsecret-1-dev
  libgtest-dev libgmock-dev libbenchmark-dev libicu-dev fonts-liberation
  fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji fonts-symbola
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good libqt6multimedia6)
if [ "${1:-}" = "--test" ] || [ "${1:-}" = "--bench" ]; then
  packages+=(xvfb xauth dbus-daemon at-spi2-core python3-pyatspi clang libclang-rt-dev)
  # The printouts' text is read back from the PDF files with pdftotext.
  packages+=(poppler-utils)
  # The sync tests start two real CalDAV servers and drive a phone-like client (the Python module of
  # Radicale, never the "radicale" service package, whose configuration turns authentication off).
  packages+=(python3-radicale xandikos python3-caldav openssl)
  # The password of an account kept in the desktop's keyring: a Secret Service on a bus of the test's own.
  packages+=(gnome-keyring)
  # A settings test makes a German locale (decimal comma) from glibc's locale sources.
  packages+=(locales)
fi
# The Debian package needs dpkg-shlibdeps and file; its test also runs the desktop files' validators.
case "${1:-}" in
  --test) packages+=(dpkg-dev file desktop-file-utils appstream) ;;
  # The sync benchmark measures beside vdirsyncer.
  --bench) packages+=(dpkg-dev file desktop-file-utils appstream vdirsyncer) ;;
  --package) packages+=(dpkg-dev file) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
