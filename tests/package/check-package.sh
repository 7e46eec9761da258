#!/usr/bin/env bash
# Checks a built Debian package of Parvex the way a user meets it: its control data and file
# list, lintian, the desktop entry and AppStream data, that apt would install it, and the
# unpacked package itself (never installed on this machine): the type of result documents
# registered with the shared MIME database, parvex-cli on a small tree, parvex on Qt's
# offscreen platform finding its installed help and keeping its settings in ~/.config/parvex/.
#   check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "check-package: $*" >&2
  exit 1
}
step() { echo "check-package: $*"; }

step "control data"
info=$(dpkg-deb -I "$deb")
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = parvex ] || fail "package name $(field Package)"
[[ "$(field Version)" =~ ^1\.1-[0-9]+$ ]] || fail "version $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
[[ "$(basename "$deb")" == "parvex_$(field Version)_$(field Architecture).deb" ]] ||
  fail "file name $(basename "$deb")"
depends=$(field Depends)
depended=$(sed 's/, /\n/g' <<<"$depends" | awk '{print $1}')
for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
  grep -qxF "$library" <<<"$depended" || fail "Depends lacks $library: $depends"
done
grep -q '^ Description: ' <<<"$info" || fail "no description"
[ -n "$(field Maintainer)" ] || fail "no maintainer"

step "file list"
dpkg-deb -c "$deb" >"$work/contents"
awk '{print $6}' "$work/contents" | sed 's|^\./|/|; s|/$||' | sort >"$work/paths"
expected=(
  /usr/bin/parvex /usr/bin/parvex-cli
  /usr/share/parvex/help/index.html /usr/share/parvex/help/start_dir.html
  /usr/share/parvex/help/result_view.html /usr/share/parvex/help/marks.html
  /usr/share/parvex/help/keys.html /usr/share/parvex/help/file_mask.html
  /usr/share/parvex/help/result_file.html /usr/share/parvex/help/parvex-result.schema.json
  /usr/share/parvex/help/parvex-result.example.json /usr/share/parvex/help/parvex.css
  /usr/share/parvex/help/parvex-actions.schema.json
  /usr/share/man/man1/parvex.1.gz /usr/share/man/man1/parvex-cli.1.gz
  /usr/share/applications/org.parvex.Parvex.desktop
  /usr/share/mime/packages/org.parvex.Parvex.xml
  /usr/share/bash-completion/completions/parvex
  /usr/share/bash-completion/completions/parvex-cli
  /usr/share/metainfo/org.parvex.Parvex.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/parvex.svg
  /usr/share/icons/hicolor/256x256/apps/parvex.png
  /usr/share/icons/hicolor/48x48/apps/parvex.png
  /usr/share/doc/parvex/copyright
  /usr/share/doc/parvex/changelog.Debian.gz
  /usr/share/lintian/overrides/parvex
)
for path in "${expected[@]}"; do
  grep -qxF "$path" "$work/paths" || fail "$path is not in the package"
done
outside=$(grep -vE '^(/|/usr|/usr/(bin|share)(/.*)?)$' "$work/paths" || true)
[ -z "$outside" ] || fail "unexpected files: $outside"
grep -q '/usr/share/doc/parvex/.*\.html$' "$work/paths" && fail "help pages under share/doc"
awk '$2 != "root/root" {print; bad=1} END {exit bad}' "$work/contents" ||
  fail "files not owned by root"

step "lintian"
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 ||
  { cat "$work/lintian" >&2; fail "lintian reports errors or warnings"; }

step "apt would install it"
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt" 2>&1 ||
  { cat "$work/apt" >&2; fail "apt-get refuses the package"; }
grep -q '^Inst parvex ' "$work/apt" || { cat "$work/apt" >&2; fail "apt-get would not install it"; }

step "unpacked"
root=$work/root
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/org.parvex.Parvex.desktop"
# Pedantic notes (the capital letters of the id) leave the exit status 0.
metainfo=$root/usr/share/metainfo/org.parvex.Parvex.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream" 2>&1 ||
  { cat "$work/appstream" >&2; fail "AppStream metainfo does not validate"; }
for program in parvex parvex-cli; do
  file -L "$root/usr/bin/$program" | grep -q 'ELF.*, stripped' || fail "$program is not stripped"
done
grep -q 'License: Expat' "$root/usr/share/doc/parvex/copyright" || fail "copyright lacks the licence"
grep -q 'Permission is hereby granted' "$root/usr/share/doc/parvex/copyright" ||
  fail "copyright lacks the licence text"

step "manual pages describe every option"
for program in parvex parvex-cli; do
  gzip -dc "$root/usr/share/man/man1/$program.1.gz" >"$work/$program.1"
  "$here/man_page_options_test.sh" "$root/usr/bin/$program" "$work/$program.1" \
    QT_QPA_PLATFORM=offscreen
done

step "parvex-cli finds the copies in a small tree"
tree=$work/tree
mkdir -p "$tree/a" "$tree/b" "$tree/c"
echo "same content" >"$tree/a/one.txt"
echo "same content" >"$tree/b/two.txt"
echo "other content" >"$tree/c/three.txt"
status=0
"$root/usr/bin/parvex-cli" --keys size,content "$tree" >"$work/groups" || status=$?
[ $status -eq 0 ] || fail "parvex-cli ended with status $status"
# One group of the two equal files, in the order the folders were read.
members=$(grep $'^\t' "$work/groups" | sort)
[ "$(wc -l <"$work/groups")" -eq 3 ] &&
  [ "$members" = "$(printf '\t%s\n\t%s' "$tree/a/one.txt" "$tree/b/two.txt")" ] ||
  fail "parvex-cli printed: $(cat "$work/groups")"
"$root/usr/bin/parvex-cli" --format json "$tree" >"$work/cli.json" ||
  fail "parvex-cli --format json ended with status $?"

step "the shared MIME database knows result documents"
# The unpacked share/ first, as an installed one would be.
export XDG_DATA_HOME=$root/usr/share XDG_DATA_DIRS=$root/usr/share:/usr/share
update-mime-database "$root/usr/share/mime"
# As a file manager sees them: a result by its name, parvex-cli's document under any name by
# its content, other JSON as JSON.
cp "$work/cli.json" "$work/saved.parvex.json"
echo '{"format": "other"}' >"$work/other.json"
for expected in "saved.parvex.json application/vnd.parvex.result+json" \
  "cli.json application/vnd.parvex.result+json" "other.json application/json"; do
  read -r name type <<<"$expected"
  seen=$(mimetype --brief "$work/$name")
  [ "$seen" = "$type" ] || fail "$name is taken for $seen, not $type"
done
unset XDG_DATA_HOME XDG_DATA_DIRS

step "parvex uses its installed help and per-user settings"
home=$work/home
mkdir -p "$home" "$work/elsewhere/docs" "$work/elsewhere/run"
touch "$work/elsewhere/docs/index.html" # a docs folder beside the working folder loses
# Always called in a subshell of its own ($(...) or &), which becomes the program (exec): the
# process id that & gives is then the program's own, and kill ends the program itself.
run_parvex() {
  cd "$work/elsewhere/run" &&
    exec env -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" "$@"
}
version=$(run_parvex "$root/usr/bin/parvex" --version)
[ "$version" = "parvex 1.1" ] || fail "parvex --version says: $version"
usage=$(run_parvex "$root/usr/bin/parvex" --help)
grep -qxF "  settings    $home/.config/parvex/parvex.set" <<<"$usage" ||
  fail "settings not per user: $usage"
grep -qxF "  help pages  $root/usr/share/parvex/help" <<<"$usage" ||
  fail "installed help not found: $usage"

run_parvex QT_QPA_PLATFORM=offscreen "$root/usr/bin/parvex" >"$work/parvex.log" 2>&1 &
pid=$!
settings=$home/.config/parvex/parvex.set
for _ in $(seq 1 300); do # up to 30 s: the program writes its settings at start
  [ -f "$settings" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
running=yes
kill -0 "$pid" 2>/dev/null || running=no
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=""
[ $running = yes ] || fail "parvex ended early: $(cat "$work/parvex.log")"
[ -f "$settings" ] || fail "no settings at $settings"
[ ! -e "$root/usr/bin/parvex.set" ] || fail "settings written beside the installed program"

step "all checks passed for $(basename "$deb")"
