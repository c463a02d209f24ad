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
