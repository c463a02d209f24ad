# Imported targets for the dependencies: libcurl and libmpg123 cross-built by
# scripts/setup.sh into TALLYHIVE_DEPS_PREFIX, zlib from Debian's mingw package, minizip
# and Duktape compiled here from the unpacked sources in that prefix, and stb_image and
# RapidJSON from Debian's headers.
if(NOT TALLYHIVE_DEPS_PREFIX)
  message(FATAL_ERROR "TALLYHIVE_DEPS_PREFIX is not set: run scripts/setup.sh and pass the prefix it prints")
endif()

# Debian installs stb and RapidJSON under /usr/include, which must not be on a Windows
# compiler's include path as a whole; expose just their folders.
set(_dep_include ${CMAKE_BINARY_DIR}/dep-include)
file(MAKE_DIRECTORY ${_dep_include})
foreach(d stb rapidjson)
  if(NOT EXISTS ${_dep_include}/${d})
    file(CREATE_LINK /usr/include/${d} ${_dep_include}/${d} SYMBOLIC)
  endif()
endforeach()

# stb_image's decoders, compiled once for the framework's skin images and the engine's
# page images. They allocate through our hooks (deps/stb), which hold each decode to the
# budget its caller sets.
set(_stb_source ${CMAKE_BINARY_DIR}/stb/stb_image.c)
file(WRITE ${_stb_source}.in "#define STB_IMAGE_IMPLEMENTATION\n#define STBI_NO_STDIO\n#include \"DecodeBudget.h\"\n"
  "#define STBI_MALLOC(size) DecodeBudgetMalloc(size)\n#define STBI_REALLOC(block, size) DecodeBudgetRealloc(block, size)\n"
  "#define STBI_FREE(block) DecodeBudgetFree(block)\n#include <stb_image.h>\n")
configure_file(${_stb_source}.in ${_stb_source} COPYONLY)
set(_stb_hooks ${CMAKE_SOURCE_DIR}/deps/stb)
add_library(dep_stb STATIC ${_stb_source} ${_stb_hooks}/DecodeBudget.cpp ${_stb_hooks}/DecodePool.cpp)
target_include_directories(dep_stb PUBLIC ${_stb_hooks})
target_include_directories(dep_stb SYSTEM PUBLIC ${_dep_include} ${_dep_include}/stb)
set_source_files_properties(${_stb_source} PROPERTIES COMPILE_OPTIONS -w)
tallyhive_warnings(dep_stb)

add_library(dep_rapidjson INTERFACE)
target_include_directories(dep_rapidjson SYSTEM INTERFACE ${_dep_include})

add_library(dep_zlib INTERFACE)
target_link_libraries(dep_zlib INTERFACE /usr/i686-w64-mingw32/lib/libz.a)

add_library(dep_curl INTERFACE)
target_include_directories(dep_curl SYSTEM INTERFACE ${TALLYHIVE_DEPS_PREFIX}/include)
target_compile_definitions(dep_curl INTERFACE CURL_STATICLIB)
target_link_libraries(dep_curl INTERFACE ${TALLYHIVE_DEPS_PREFIX}/lib/libcurl.a ws2_32 crypt32 bcrypt secur32)

add_library(dep_mpg123 INTERFACE)
target_include_directories(dep_mpg123 SYSTEM INTERFACE ${TALLYHIVE_DEPS_PREFIX}/include)
target_link_libraries(dep_mpg123 INTERFACE ${TALLYHIVE_DEPS_PREFIX}/lib/libmpg123.a shlwapi)

file(GLOB _zlib_src LIST_DIRECTORIES true ${TALLYHIVE_DEPS_PREFIX}/src/zlib-*)
set(TALLYHIVE_MINIZIP_DIR ${_zlib_src}/contrib/minizip)
# Skin archives may use the traditional zip encryption; minizip reads it only when
# NOUNCRYPT is absent, but zlib's unzip.c defines it unconditionally, so a copy without
# that line is compiled. Files open through the caller's functions, never through fopen64.
file(READ ${TALLYHIVE_MINIZIP_DIR}/unzip.c _unzip_c)
string(REGEX REPLACE "#ifndef NOUNCRYPT[ \t\r\n]+#define NOUNCRYPT[ \t\r\n]+#endif" "" _unzip_c "${_unzip_c}")
string(FIND "${_unzip_c}" "#define NOUNCRYPT" _nouncrypt)
if(NOT _nouncrypt EQUAL -1)
  message(FATAL_ERROR "unzip.c still disables decryption")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/minizip/unzip.c.in "${_unzip_c}")
configure_file(${CMAKE_BINARY_DIR}/minizip/unzip.c.in ${CMAKE_BINARY_DIR}/minizip/unzip.c COPYONLY)
add_library(dep_minizip STATIC ${TALLYHIVE_MINIZIP_DIR}/ioapi.c ${CMAKE_BINARY_DIR}/minizip/unzip.c)
target_include_directories(dep_minizip SYSTEM PUBLIC ${TALLYHIVE_MINIZIP_DIR})
target_compile_definitions(dep_minizip PUBLIC USE_FILE32API)
target_compile_options(dep_minizip PRIVATE -w)
target_link_libraries(dep_minizip PUBLIC dep_zlib)

file(GLOB _duk_src LIST_DIRECTORIES true ${TALLYHIVE_DEPS_PREFIX}/src/duktape-*)
set(TALLYHIVE_DUKTAPE_DIR ${_duk_src}/src)
