#!/usr/bin/env bash
# Runs the README's build and install commands as written, on a copy of the
# work tree: the first Quick start command, then the block under "Installing"
# (`cmake --install` into a temporary DESTDIR; the Debian package unpacked
# beside it and its installation simulated by apt). Then checks what a user
# and a distribution see: both programs run, the stand-alone one loads only
# the C library, the package depends on the shared OpenSSL and xxHash, and
# lintian reports no error and no warning.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/quorvid-readme-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
tree=$work/tree dest=$work/destdir debroot=$work/debroot
checks=0
fail() { echo "readme_install_test: FAILED: $*" >&2; exit 1; }
pass() { checks=$((checks + 1)); }

# The tree as a new user has it: the repository's files, no build folders.
mkdir -p "$tree"
(cd "$src" && git ls-files -z --cached --others --exclude-standard) |
  while IFS= read -r -d '' f; do [[ -f $src/$f ]] && printf '%s\0' "$f"; done |
  (cd "$src" && xargs -0 cp --parents -t "$tree")

# The commands of the README's first sh block after a heading, without comments.
block() {
  awk -v heading="$1" '$0 == heading {h = 1} h && /^```sh/ {b = 1; next} b && /^```/ {exit} b' \
    "$tree/README.md" | sed -E 's/ {2,}#.*$//; s/[[:space:]]+$//' | grep -v '^#' | grep -v '^$' || true
}

readme_lines=$(wc -l < "$tree/README.md")
perf_lines=$(awk '/^## /{p = ($0 == "## Performance")} p' "$tree/README.md" | wc -l)
((readme_lines < 350)) || fail "README has $readme_lines lines"
((perf_lines > 0 && perf_lines < 45)) || fail "README's Performance section has $perf_lines lines"
pass

quick=$(block "## Quick start" | head -1)
[[ $quick == "bash scripts/build.sh && ./build/quorvid "* ]] || fail "Quick start begins with: $quick"
(cd "$tree" && bash -c "$quick" > "$work/quick.out") || fail "the Quick start command: $quick"
[[ -s $work/quick.out ]] || fail "the Quick start command printed no result"
pass

prefix="" deb=""
while IFS= read -r cmd; do
  echo "readme_install_test: $cmd"
  case $cmd in
    "bash scripts/"*.sh)
      (cd "$tree" && bash -c "$cmd") > "$work/step.log" 2>&1 || { cat "$work/step.log"; fail "$cmd"; } ;;
    "sudo cmake --install "*)
      prefix=$(sed -nE 's/.*--prefix ([^ ]+).*/\1/p' <<< "$cmd")
      (cd "$tree" && DESTDIR=$dest bash -c "${cmd#sudo }") > "$work/step.log" 2>&1 ||
        { cat "$work/step.log"; fail "$cmd"; } ;;
    "sudo apt install ./"*.deb)
      debs=("$tree"/${cmd#sudo apt install ./})
      [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "$cmd names no single package: ${debs[*]}"
      deb=${debs[0]}
      apt-get install --simulate --no-download "$deb" > "$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; fail "apt cannot install $deb"; }
      dpkg -x "$deb" "$debroot" ;;
    "man quorvid")
      [[ -n $prefix ]] || fail "man comes before the install"
      MANPATH=$dest$prefix/share/man MANWIDTH=80 man -P cat quorvid > "$work/man.txt" 2> "$work/man.err" ||
        fail "man quorvid: $(cat "$work/man.err")"
      grep -q "On Linux" "$work/man.txt" || fail "man quorvid shows another page" ;;
    *)
      fail "the README's install block has a command this test does not know: $cmd" ;;
  esac
  pass
done < <(block "### Installing")
[[ -n $prefix && -n $deb ]] || fail "the README's install block lacks cmake --install or the package"

# The cmake --install tree: the stand-alone program and its documents.
root=$dest$prefix
for f in bin/quorvid share/man/man1/quorvid.1.gz share/bash-completion/completions/quorvid \
         share/doc/quorvid/README.md.gz share/doc/quorvid/changelog.gz share/doc/quorvid/copyright; do
  [[ -f $root/$f ]] || fail "cmake --install did not install $f"
done
[[ $("$root/bin/quorvid" --md5 abc) == "900150983cd24fb0d6963f7d28e17f72  {Text}  abc" ]] ||
  fail "the installed program does not hash"
others=$(ldd "$root/bin/quorvid" | grep -Ev 'linux-vdso|ld-linux|/libc\.so|/libm\.so' || true)
[[ -z $others ]] || fail "the stand-alone program loads more than the C library: $others"
pass

# The package: shared libraries in Depends, a program that runs with them,
# its manual page naming where the package puts the program.
depends=$(dpkg-deb -f "$deb" Depends)
echo "readme_install_test: Depends: $depends"
for lib in 'libssl3(t64)?' 'libxxhash0'; do
  grep -Eq "(^|, )$lib( |,|$)" <<< "$depends" || fail "Depends names no $lib: $depends"
done
[[ $("$debroot/usr/bin/quorvid" --md5 abc) == "900150983cd24fb0d6963f7d28e17f72  {Text}  abc" ]] ||
  fail "the packaged program does not hash"
for lib in libssl.so.3 libcrypto.so.3 libxxhash.so.0; do
  ldd "$debroot/usr/bin/quorvid" | grep -q "$lib" || fail "the packaged program does not load $lib"
done
zcat "$debroot/usr/share/man/man1/quorvid.1.gz" | grep -q '/usr/bin/quorvid' ||
  fail "the package's manual page does not name /usr/bin/quorvid"
if zcat "$debroot/usr/share/man/man1/quorvid.1.gz" | grep -q '/usr/local/bin/quorvid'; then
  fail "the package's manual page names /usr/local/bin/quorvid"
fi
pass

lintian_out=$(lintian --fail-on error,warning "$deb" 2>&1) ||
  fail "lintian reports errors or warnings: $lintian_out"
pass

echo "readme_install_test: $checks passed, 0 failed"
