# Helpers that keep each code and test folder's CMakeLists.txt a few lines long.

# Sources of a code folder: every .cpp in it, so a new file needs no CMake edit.
function(tallyhive_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per subfolder of a test folder: tests/<area>/<name>/*.cpp
# becomes <prefix>_<name>, linked against LIBS and run by CTest through Wine.
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
        add_test(NAME ${t} COMMAND ${t} --gtest_color=no)
        set_tests_properties(${t} PROPERTIES TIMEOUT 300)
      endif()
    endif()
  endforeach()
endfunction()
