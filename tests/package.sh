#!/usr/bin/env bash
# Builds the Debian package from a finished build tree and checks what
# dpkg-deb shows of it: the name, the version, the dependencies, the files;
# then lintian, which must report no error and no warning.
# Usage: package.sh <build dir> <version> <expected file list>
set -euo pipefail
build=$1 version=$2 expected=$3

for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing; ./test installs dpkg-dev and lintian" >&2
        exit 1
    fi
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The package is made in a folder of the test's own, so the build tree's
# own package, if any, is left alone.
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log" >&2; exit 1; }

deb="$out/tavel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no $(basename "$deb"); made: $(ls "$out")" >&2; exit 1; }

failed=0
field() { dpkg-deb --field "$deb" "$1"; }
expect_field() {
    local name=$1 want=$2 got
    got=$(field "$name")
    if [ "$got" != "$want" ]; then
        echo "$name: '$got', expected '$want'" >&2
        failed=1
    fi
}
expect_field Package tavel
expect_field Version "$version"
expect_field Architecture "$(dpkg --print-architecture)"
expect_field Section comm
expect_field Priority optional
[ -n "$(field Maintainer)" ] || { echo "no Maintainer" >&2; failed=1; }
[ -n "$(field Description)" ] || { echo "no Description" >&2; failed=1; }

# The two named ones and those dpkg-shlibdeps found in the binary.
depends=$(field Depends)
for package in fonts-liberation2 qt6-translations-l10n libc6 libstdc++6 libqt6core6 \
        libqt6gui6 libqt6widgets6 libqt6serialport6; do
    if ! grep -Eq "(^|, )${package//+/\\+}( \(|,|$)" <<<"$depends"; then
        echo "Depends lacks $package: $depends" >&2
        failed=1
    fi
done

# dpkg-deb --contents lists folders too; the files alone are compared.
diff -u <(sort "$expected") \
    <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort) \
    || { echo "the package's files differ from $expected" >&2; failed=1; }

# Errors and warnings fail. Three notes at info level stay: a .comment
# section CPack's plain strip leaves, and no bindnow and no fortified libc
# calls, as the project's compiler flags are its own, not dpkg-buildflags'.
lintian --suppress-tags running-with-root-privileges "$deb" >"$out/lintian.log" 2>&1 || true
if grep -E '^[EW]: ' "$out/lintian.log" >&2; then
    failed=1
fi

if [ "$failed" -eq 0 ]; then
    echo "$(basename "$deb"): fields, dependencies, files and lintian as expected"
fi
exit "$failed"
