#!/usr/bin/env bash
# Builds the small Windows libraries that tests and the demo installation use: real PE files with a
# VERSIONINFO resource, made by mingw-w64 (windres + gcc). The outputs are committed, so a normal build
# needs no cross compiler; run this only to change them.
#   apt-get install -y gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 binutils-mingw-w64
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/tests/fixtures/dlls"
# The libraries the demo installation ships go with its resources.
demo_out="$here/resources/demo/dlls"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$demo_out"

cat > "$work/lib.c" <<'C'
__declspec(dllexport) int tarrow_fixture(void) { return 42; }
C
# A large read-only table puts megabytes before the resource section, which the linker places last.
cat > "$work/big.c" <<'C'
__declspec(dllexport) const unsigned char tarrow_big_table[4u << 20] = {1, 2, 3};
__declspec(dllexport) int tarrow_fixture(void) { return tarrow_big_table[1]; }
C

# rc_file NAME "A,B,C,D" (product version; the file version differs on purpose)
rc_file() {
    local name=$1 version=$2
    cat > "$work/$name.rc" <<RC
1 VERSIONINFO
FILEVERSION 9,9,9,9
PRODUCTVERSION $version
FILEFLAGSMASK 0x3f
FILEOS 0x40004
FILETYPE 0x2
{
 BLOCK "StringFileInfo"
 {
  BLOCK "040904b0"
  {
   VALUE "FileDescription", "Tarrow GUI test fixture $name"
   VALUE "ProductVersion", "$version"
  }
 }
 BLOCK "VarFileInfo" { VALUE "Translation", 0x409, 1200 }
}
RC
}

# build ARCH NAME VERSION [SOURCE]
build() {
    local arch=$1 name=$2 version=$3 src=${4:-lib.c}
    local cc="$arch-w64-mingw32-gcc" rc="$arch-w64-mingw32-windres"
    local objs=("$work/$src")
    if [ -n "$version" ]; then
        rc_file "$name" "$version"
        "$rc" "$work/$name.rc" -O coff -o "$work/$name.res"
        objs+=("$work/$name.res")
    fi
    local dir="$out"
    case "$name" in tfc | tarrow | metamod | admin_mm_old | ntf) dir="$demo_out" ;; esac
    "$cc" -shared -s -O2 -o "$dir/$name.dll" "${objs[@]}"
}

build i686   tarrow          "0,698,0,0"
build i686   tarrow_old      "0,697,0,0"
build i686   metamod         "1,16,2,0"
build i686   admin_mm        "2,50,56,0"
build i686   admin_mm_old    "2,50,26,0"
build i686   ntf             "1,8,7,0"
build i686   ntf_160         "1,6,0,0"
build i686   tfc             "1,1,0,7"
build x86_64 tarrow64        "0,698,0,0"
build i686   noversion       ""
build i686   big             "65535,1,2,65534" big.c
ls -l "$out"
