# Helpers that keep each code and test folder's CMakeLists.txt a few lines long.

# Sources of a code folder: every .cpp in it, so a new file needs no CMake edit.
function(tallyhive_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per subfolder of a test folder: tests/<area>/<name>/*.cpp
# becomes <prefix>_<name>, linked against LIBS and run by CTest through Wine. Each test
# takes one slot of scripts/test.sh's run (display, Wine prefix, HOME and temporary
# folder of its own); scripts/in-slot.sh enters that slot before starting Wine.
function(tallyhive_test_folders prefix)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB _dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(d ${_dirs})
    if(IS_DIRECTORY ${d})
      get_filename_component(name ${d} NAME)
      file(GLOB _src CONFIGURE_DEPENDS ${d}/*.cpp)
      if(_src)
        set(t ${prefix}_${name})
        add_executable(${t} ${_src})
        tallyhive_warnings(${t})
        target_include_directories(${t} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
        target_link_libraries(${t} PRIVATE ${A_LIBS} tallyhive_test_support gtest gmock)
        set_target_properties(${t} PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/in-slot.sh)
        add_test(NAME ${t} COMMAND ${t} --gtest_color=no)
        set_tests_properties(${t} PROPERTIES TIMEOUT 300 RESOURCE_GROUPS slots:1)
      endif()
    endif()
  endforeach()
endfunction()

# Tests that must start from a Wine prefix no other test has used (first-run behaviour):
# they get a fresh copy of the booted prefix instead of their slot's shared one.
function(tallyhive_test_fresh_prefix)
  foreach(t ${ARGN})
    set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT TALLYHIVE_FRESH_PREFIX=1)
  endforeach()
endfunction()

# A program's manifest, made from resources/program.manifest.in: its assembly name and the
# execution level it asks for.
function(tallyhive_manifest out assembly level)
  set(PROGRAM_ASSEMBLY ${assembly})
  set(PROGRAM_EXECUTION_LEVEL ${level})
  configure_file(${CMAKE_SOURCE_DIR}/resources/program.manifest.in ${out} @ONLY)
endfunction()
