#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a consumer against it,
# once through the CMake package and once through pkg-config.
set -euo pipefail
build_dir=$1
consumer_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
test -x "$scratch/prefix/bin/velmora"
"$scratch/prefix/bin/velmora" --version

cmake -S "$consumer_dir" -B "$scratch/cmake-build" -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake-build" >/dev/null
"$scratch/cmake-build/consumer"

pc_dir=$(dirname "$(find "$scratch/prefix" -name velmora.pc)")
# The .pc file names the build's own prefix; point it at the scratch one.
sed -i "s|^prefix=.*|prefix=$scratch/prefix|" "$pc_dir/velmora.pc"
export PKG_CONFIG_PATH="$pc_dir"
# shellcheck disable=SC2046
g++ "$consumer_dir/main.cpp" -o "$scratch/pc-consumer" $(pkg-config --cflags --libs --static velmora)
"$scratch/pc-consumer"
