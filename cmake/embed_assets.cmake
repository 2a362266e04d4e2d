# Writes a C++ source holding the bytes of the server's page assets, so that
# velmora serve needs no files beside it.
#
#   cmake -DOUTPUT=assets.cpp -DASSET_DIR=src/serve/assets -P embed_assets.cmake
file(GLOB ASSETS ${ASSET_DIR}/*)
list(SORT ASSETS)
set(source "// Made by cmake/embed_assets.cmake from src/serve/assets/ at build time.\n")
string(APPEND source "#include \"serve/embedded_assets.h\"\n\nnamespace velmora::serve {\nnamespace {\n\n")
set(table "")
set(index 0)
foreach(asset IN LISTS ASSETS)
    file(READ ${asset} bytes HEX)
    string(LENGTH "${bytes}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
    string(APPEND source "constexpr unsigned char kAsset${index}[] = {${bytes}};\n")
    get_filename_component(name ${asset} NAME)
    string(APPEND table "    {\"${name}\", kAsset${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
endforeach()
string(APPEND source "\nconstexpr EmbeddedAsset kAssets[] = {\n${table}};\n\n} // namespace\n\nstd::span<const EmbeddedAsset> embeddedAssets() {\n    return kAssets;\n}\n\n} // namespace velmora::serve\n")
# Written only when it changed, so that an unchanged asset rebuilds nothing.
file(WRITE ${OUTPUT}.new "${source}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
