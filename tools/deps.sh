#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12 (as root), once.
set -euo pipefail
pkgs=(cmake make g++ googletest g++-mingw-w64-x86-64-posix mingw-w64-tools
      wine wine64 xvfb xauth x11-utils openbox locales fonts-nanum imagemagick xdotool iproute2 procps)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine takes its ANSI code page from the Unix locale: it must exist.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  sed -i 's/^# *\(ko_KR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
