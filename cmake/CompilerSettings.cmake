# Flags every target of ours shares. Third-party code compiled into the build gets the
# same ABI flags but not our warning level.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
add_compile_options(-msse2 -mfpmath=sse)
# Each executable stands alone: no libgcc, libstdc++ or winpthread DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

set(TALLYHIVE_WARNINGS -Wall -Wextra)
function(tallyhive_warnings target)
  target_compile_options(${target} PRIVATE ${TALLYHIVE_WARNINGS})
endfunction()

# The release build (CMAKE_BUILD_TYPE Release, scripts/build.sh --release) compiles as
# the tested build does, so what ships is the code the tests ran; its programs then give
# their debug information to a separate file (tallyhive_ship).
set(CMAKE_C_FLAGS_RELEASE "-O2 -g -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -g -DNDEBUG")

# A shipped program: in the release build its debug sections and symbols move into
# <name>.debug beside it (tallyhive.exe: tallyhive.debug), and the exe keeps only a debug
# link (that file's name and CRC), so a crash dump from a user's machine can still be
# read against the file kept here.
function(tallyhive_ship target)
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    set(name $<TARGET_FILE_BASE_NAME:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> ${name}.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${name}.debug $<TARGET_FILE_NAME:${target}>
      WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
      COMMENT "Moving the debug information of ${target} into its .debug file"
      VERBATIM)
  endif()
endfunction()
