# Helpers shared by every folder.
#
# sklad_library(<target> SOURCES ... [DEPS ...])
#   A static library; includes are written from the repository root
#   ("platform/rtl/SysUtils.h"), so every target sees the root.
#
# sklad_tests(<label> [NAME <name>] SOURCES ... [DEPS ...])
#   One GoogleTest program per folder, registered with CTest under <label>.
#   The program is test_<name> (NAME defaults to the label), so two folders
#   can share a label. It links sklad_test_main (cmake/TestMain.cpp: a fresh home
#   folder per run) and gets SKLAD_TEST_PROPERTIES on every test. Its sources see
#   SKLAD_TESTS_DIR, the folder's tests directory (the tests' working directory
#   under CTest).

function(sklad_library target)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${target} STATIC ${A_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${A_DEPS})
endfunction()

function(sklad_tests label)
  cmake_parse_arguments(A "" "NAME" "SOURCES;DEPS" ${ARGN})
  if(NOT SKLAD_BUILD_TESTS)
    return()
  endif()
  if(NOT A_NAME)
    set(A_NAME ${label})
  endif()
  set(target test_${A_NAME})
  add_executable(${target} ${A_SOURCES})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${A_DEPS} sklad_test_main)
  # Files beside the tests (golden output) are found from there, wherever the program runs.
  target_compile_definitions(${target} PRIVATE SKLAD_TESTS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests")
  gtest_discover_tests(${target}
    PROPERTIES LABELS ${label} ${SKLAD_TEST_PROPERTIES}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/tests
    DISCOVERY_TIMEOUT 60)
endfunction()

include(GoogleTest)
