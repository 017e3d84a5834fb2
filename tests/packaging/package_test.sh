#!/usr/bin/env bash
# The Debian packages as a user gets them: built from the build folder's install
# rules, their contents checked (every run-time file, the manual pages, copyright
# files and changelogs; Debian's checker lintian, the desktop entry and the AppStream
# metadata validated where the tools are installed), installed with dpkg into a
# fresh temporary root, and run from there: the packaged service with the demo seed
# announcing a newer version, the packaged browser on a loopback page under the
# test's display. The browser must load the page, report its launch once, hear of
# the newer version but download nothing (the package manager owns its files), and
# "-setasdefault" must make it the desktop's default browser through the packaged
# desktop entry. Removing both packages must leave the root as it was.
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d /tmp/tarvo-package-test.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  return 1
}

# 1. Build.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^project(TarvoBrowser VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
browser_deb=$work/out/tarvo-browser_${version}_amd64.deb
service_deb=$work/out/tarvo-service_${version}_amd64.deb
[ -f "$browser_deb" ] && [ -f "$service_deb" ] || fail "packages missing: $(ls "$work/out")"

# 2. Contents.
dpkg-deb -c "$browser_deb" | awk '{print $6}' | sed 's|^\./||' >"$work/browser.list"
dpkg-deb -c "$service_deb" | awk '{print $6}' | sed 's|^\./||' >"$work/service.list"
expect() {
  local list=$1; shift
  for path in "$@"; do grep -qxF "$path" "$work/$list.list" || fail "$list package lacks $path"; done
}
program=usr/lib/tarvo-browser
expect browser usr/bin/tarvo-browser "$program/tarvo-browser" "$program/skin/normal.dat" "$program/home.html" \
  "$program/home.css" "$program/home.js" "$program/home_logo.svg" "$program/Favicon/blank_favicon.ico" \
  "$program/package-managed" usr/share/applications/tarvo-browser.desktop \
  usr/share/metainfo/test.tarvo.TarvoBrowser.metainfo.xml usr/share/icons/hicolor/scalable/apps/tarvo-browser.svg
for pack in "$source"/lang/*.json; do expect browser "$program/lang/$(basename "$pack")"; done
for size in 16 22 24 32 48 64 128 256 512; do
  expect browser "usr/share/icons/hicolor/${size}x${size}/apps/tarvo-browser.png"
done
expect service usr/bin/tarvo-service usr/bin/tarvo-cli usr/lib/systemd/system/tarvo-service.service \
  usr/share/tarvo-service/seed/demo.json usr/share/tarvo-service/seed/installer/tarvo-update.sh
expect browser usr/share/man/man1/tarvo-browser.1.gz
expect service usr/share/man/man1/tarvo-service.1.gz usr/share/man/man1/tarvo-cli.1.gz
for package in browser service; do
  expect "$package" "usr/share/doc/tarvo-$package/copyright" "usr/share/doc/tarvo-$package/changelog.gz"
done
# Each listing is read whole before it is searched: a search that stops at its first
# match would end the listing's writer early, which pipefail counts as a failure.
dpkg-deb -c "$service_deb" >"$work/service.modes"
grep -q '^-rwxr-xr-x .*/installer/tarvo-update.sh$' "$work/service.modes" || fail "the seed's installer is not executable"
changelog=$(dpkg-deb --fsys-tarfile "$browser_deb" | tar -xO ./usr/share/doc/tarvo-browser/changelog.gz | gzip -dc)
grep -qF "tarvo-browser ($version)" <<<"${changelog%%$'\n'*}" || fail "the changelog has no entry for $version"
# Debian's checker: no errors and no warnings (its informational notes, such as the
# hardening flags a Debian build would add, are not failures).
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --tag-display-limit 0 "$browser_deb" "$service_deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian found errors or warnings"; }
fi
grep -q libqt6webenginewidgets6 <<<"$(dpkg-deb -f "$browser_deb" Depends)" || fail "the browser's dependencies are not listed"
# Libraries opened at run time, not linked: only the listed dependencies bring them.
depends_on() { grep -qE "(^|, )$2 \\(>= [0-9.]+\\)" <<<"$(dpkg-deb -f "$1" Depends)" || fail "$1 does not depend on $2"; }
depends_on "$browser_deb" 'libcurl4(t64)?'
depends_on "$browser_deb" 'libsecret-1-0'
depends_on "$service_deb" 'libcurl4(t64)?'
unit=$(dpkg-deb --fsys-tarfile "$service_deb" | tar -xO ./usr/lib/systemd/system/tarvo-service.service)
grep -q '^StateDirectory=tarvo-service' <<<"$unit" || fail "the service unit has no state folder of its own"

# 3. Installed into a fresh root. Its libraries are the host's: the dependencies are
# checked above, not installed here.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$root" --log=/dev/null --force-not-root --force-depends "$@"; }
dpkg_root --install "$browser_deb" "$service_deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --install"; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/tarvo-browser.desktop" || fail "desktop entry invalid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/test.tarvo.TarvoBrowser.metainfo.xml" || fail "AppStream metadata invalid"
fi
grep -q '^MimeType=.*x-scheme-handler/https' "$root/usr/share/applications/tarvo-browser.desktop" || fail "no https handler"
"$root/usr/bin/tarvo-browser" --version | grep -qxF "TarvoBrowser $version" || fail "--version"
grep -q -- '-setasdefault' <<<"$("$root/usr/bin/tarvo-browser" --help)" || fail "--help"

# 4. The packaged service, with the demo seed announcing the next version.
cp -r "$root/usr/share/tarvo-service/seed" "$work/seed"
sed -i "s/\"version\": \"$version\"/\"version\": \"99.0.0.0\"/" "$work/seed/demo.json"
grep -q '"99.0.0.0"' "$work/seed/demo.json" || fail "the demo seed does not announce $version"
"$source/scripts/make-demo-tls" "$work/tls"
"$root/usr/bin/tarvo-cli" keygen "$work/signing.key" >/dev/null || fail "tarvo-cli keygen"
"$root/usr/bin/tarvo-service" --port 0 --data "$work/service.db" --seed "$work/seed/demo.json" \
  --tls-cert "$work/tls/service.pem" --tls-key "$work/tls/service.key" --signing-key "$work/signing.key" \
  >"$work/service.log" 2>&1 &
pids+=($!)
wait_for 20 grep -q 'listening on' "$work/service.log" || { cat "$work/service.log"; fail "service did not start"; }
api=$(sed -n 's/.*listening on \(http[^ ]*\).*/\1/p' "$work/service.log" | head -1)

# 5. A loopback page, and the packaged browser loading it.
mkdir -p "$work/site"
echo '<html><head><title>Packaged</title></head><body>from the package</body></html>' >"$work/site/package.html"
# Unbuffered: the port is read from its first line, which a file would otherwise hold back.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/site" >"$work/site.log" 2>&1 &
pids+=($!)
wait_for 20 grep -q 'Serving HTTP' "$work/site.log" || { cat "$work/site.log"; fail "page server did not start"; }
site_port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/site.log" | head -1)
home=$work/home
mkdir -p "$home/data" "$home/config" "$home/cache"
export XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update"
TARVO_API_URL=$api TARVO_API_CA=$work/tls/ca.pem TARVO_API_KEYS=$(cat "$work/signing.key.pub") TARVO_DEBUG=1 \
  "$root/usr/bin/tarvo-browser" "http://127.0.0.1:$site_port/package.html" \
  >"$work/browser.log" 2>&1 &
browser=$!
pids+=("$browser")
wait_for 120 grep -q 'GET /package.html' "$work/site.log" || { tail -30 "$work/browser.log"; fail "page not loaded"; }
wait_for 60 grep -q 'update check: ' "$work/browser.log" || { tail -30 "$work/browser.log"; fail "no update check"; }
grep -q 'update check: newer version announced (package-managed)' "$work/browser.log" ||
  { grep 'update' "$work/browser.log"; fail "the packaged browser did not hear of the newer version"; }
ls "$home/data/TarvoBrowser/" | grep -q '\.run' && fail "the packaged browser downloaded an installer"
launches=$(grep -c 'POST /app/v1.0/log_client_launch 200 code=200' "$work/service.log" || true)
[ "$launches" = 1 ] || fail "$launches launch reports instead of one"
kill -TERM "$browser"
wait_for 30 sh -c "! kill -0 $browser 2>/dev/null" || fail "the browser did not close on SIGTERM"

# 6. The desktop's default browser through the packaged desktop entry.
if command -v xdg-settings >/dev/null; then
  export XDG_DATA_DIRS=$root/usr/share PATH=$root/usr/bin:$PATH
  tarvo-browser -setasdefault >"$work/default.log" 2>&1 || { cat "$work/default.log"; fail "-setasdefault"; }
  [ "$(xdg-settings get default-web-browser)" = tarvo-browser.desktop ] || fail "not the default browser"
fi

# 7. Removed: nothing of them stays behind.
dpkg_root --purge tarvo-browser tarvo-service >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge"; }
left=$(find "$root" -mindepth 1 ! -type d ! -path "$root/var/lib/dpkg/*")
[ -z "$left" ] || fail "left behind after removal: $left"
echo "package test: $(basename "$browser_deb") $(stat -c %s "$browser_deb") bytes," \
  "installed $(dpkg-deb -f "$browser_deb" Installed-Size) KiB; $(basename "$service_deb") $(stat -c %s "$service_deb") bytes"
