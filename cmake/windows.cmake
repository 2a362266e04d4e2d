# The Windows deliverables: velmora.exe (and, from src/com/win32, Velmora.dll).
# Unit tests run natively; the COM suite runs these binaries under Wine.

# CLI11 is header-only; the build script points at Debian's copy of it.
set(VELMORA_CLI11_INCLUDE "" CACHE PATH "A folder holding CLI11's CLI/ headers")
# So is nlohmann-json, which the libraries link as the native build's
# imported target of the same name.
set(VELMORA_NLOHMANN_JSON_INCLUDE "" CACHE PATH "A folder holding nlohmann-json's nlohmann/ headers")
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${VELMORA_NLOHMANN_JSON_INCLUDE})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)
# cpp-httplib's one header, from Debian's source package, compiled into
# velmora_serve; without OpenSSL, so the Windows build serves no HTTPS.
set(VELMORA_HTTPLIB_INCLUDE "" CACHE PATH "A folder holding cpp-httplib's httplib.h")
target_include_directories(velmora_serve SYSTEM PUBLIC ${VELMORA_HTTPLIB_INCLUDE})
target_link_libraries(velmora_serve PUBLIC ws2_32)
# The demo's legacy sample is made by the native build (it runs a program).
set(VELMORA_LEGACY_SAMPLE_SOURCE "" CACHE FILEPATH "legacy_sample.cpp from the native build")

file(GLOB_RECURSE VELMORA_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cli/*.cpp)
list(FILTER VELMORA_CLI_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
# The tool's manifest (UTF-8 as the process code page) comes as a resource.
enable_language(RC)
set_source_files_properties(${CMAKE_SOURCE_DIR}/cli/application.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/cli/application.manifest)
add_executable(velmora_cli ${VELMORA_CLI_SOURCES} ${CMAKE_SOURCE_DIR}/cli/application.rc
    ${VELMORA_LEGACY_SAMPLE_SOURCE})
target_include_directories(velmora_cli PRIVATE ${CMAKE_SOURCE_DIR}/cli)
# At the top of the build folder, beside Velmora.dll.
set_target_properties(velmora_cli PROPERTIES OUTPUT_NAME velmora
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_compile_definitions(velmora_cli PRIVATE VELMORA_VERSION="${PROJECT_VERSION}")
target_include_directories(velmora_cli SYSTEM PRIVATE ${VELMORA_CLI11_INCLUDE})
target_link_libraries(velmora_cli PRIVATE velmora_serve velmora_render velmora)

if(EXISTS ${CMAKE_SOURCE_DIR}/src/com/win32/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/src/com/win32 ${CMAKE_BINARY_DIR}/com)
endif()

# The file-use registry is a COM component; the library calls it. GUIDs
# come from the system's generator (bcrypt).
target_link_libraries(velmora PUBLIC ole32 oleaut32 uuid bcrypt advapi32)
