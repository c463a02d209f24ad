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
        tallyhive_add_test_entries(${t})
      endif()
    endif()
  endforeach()
endfunction()

# The CTest entries of one test executable. A long one runs as several entries, one per
# group of its cases, so that they run beside each other and beside the rest: when
# <target>_PARTS is set, each of its items "label|cost|gtest filter" becomes the entry
# <target>.<label>. A cost (seconds, as measured) lets CTest start the longest first;
# <target>_COST gives an undivided one its cost. Properties set on <target> later (time
# limit, environment) reach every entry of it through tallyhive_test_entries.
function(tallyhive_add_test_entries t)
  tallyhive_add_entries(entries ${t} ${t})
  set_tests_properties(${entries} PROPERTIES TIMEOUT 300 RESOURCE_GROUPS slots:1)
  set_property(GLOBAL PROPERTY tallyhive_entries_${t} ${entries})
endfunction()

# Adds the entries of test executable t named after NAME (NAME.label for each part, or
# NAME alone), with their costs, and gives their names in out.
function(tallyhive_add_entries out t name)
  set(entries)
  if(DEFINED ${t}_PARTS)
    foreach(part ${${t}_PARTS})
      string(REPLACE "|" ";" fields "${part}")
      list(GET fields 0 label)
      list(GET fields 1 cost)
      list(GET fields 2 filter)
      add_test(NAME ${name}.${label} COMMAND ${t} --gtest_color=no --gtest_filter=${filter})
      set_tests_properties(${name}.${label} PROPERTIES COST ${cost})
      list(APPEND entries ${name}.${label})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${t} --gtest_color=no)
    if(DEFINED ${t}_COST)
      set_tests_properties(${name} PROPERTIES COST ${${t}_COST})
    endif()
    list(APPEND entries ${name})
  endif()
  set(${out} ${entries} PARENT_SCOPE)
endfunction()

# The CTest entries of a test executable, for setting properties on all of them.
function(tallyhive_test_entries out t)
  get_property(entries GLOBAL PROPERTY tallyhive_entries_${t})
  set(${out} ${entries} PARENT_SCOPE)
endfunction()

# Tests that must start from a Wine prefix no other test has used (first-run behaviour):
# they get a fresh copy of the booted prefix instead of their slot's shared one.
function(tallyhive_test_fresh_prefix)
  foreach(t ${ARGN})
    tallyhive_test_entries(entries ${t})
    set_property(TEST ${entries} APPEND PROPERTY ENVIRONMENT TALLYHIVE_FRESH_PREFIX=1)
  endforeach()
endfunction()

# A program's manifest, made from resources/program.manifest.in: its assembly name and the
# execution level it asks for.
function(tallyhive_manifest out assembly level)
  set(PROGRAM_ASSEMBLY ${assembly})
  set(PROGRAM_EXECUTION_LEVEL ${level})
  configure_file(${CMAKE_SOURCE_DIR}/resources/program.manifest.in ${out} @ONLY)
endfunction()
