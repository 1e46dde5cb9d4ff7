# vardo_add_test(NAME SOURCES src... [LIBS lib...] [GUI])
# One GoogleTest binary; every test case runs as its own CTest test in a fresh,
# private root (see tests/support/test_main.cpp), so cases never share state.
include(GoogleTest)
find_package(GTest REQUIRED)

option(VARDO_TEST_PCH "Compile the tests with one precompiled header of GoogleTest and Qt" ON)

# True when one of the sources declares a class moc must see.
function(vardo_needs_moc result)
  foreach(src ${ARGN})
    file(STRINGS ${src} lines REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE|#include \"[^\"]*\\.moc\"")
    if(lines)
      set(${result} ON PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} OFF PARENT_SCOPE)
endfunction()

function(vardo_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    set(main vardo_test_main_gui)
  else()
    set(main vardo_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${main})
  # Most tests declare no Qt classes: their moc pass would only cost time.
  vardo_needs_moc(moc ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ${moc})
  # The headers every test parses are parsed once, with the test main's own flags.
  if(VARDO_TEST_PCH)
    target_precompile_headers(${name} REUSE_FROM ${main})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${name}."
    PROPERTIES TIMEOUT ${ARG_TIMEOUT}
               # One variable per property: gtest_discover_tests splits list values.
               ENVIRONMENT "VARDO_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
               ENVIRONMENT_MODIFICATION "VARDO_SOURCE_DIR=set:${PROJECT_SOURCE_DIR}")
endfunction()

# vardo_add_test_folder(PREFIX prefix LIBS lib... [GUI_LIBS lib...])
# Every *_test.cpp in the current folder becomes its own test binary PREFIX_<name>;
# a file named *_guitest.cpp gets a QApplication and GUI_LIBS as well.
function(vardo_add_test_folder)
  cmake_parse_arguments(ARG "" "PREFIX" "LIBS;GUI_LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src ${tests})
    get_filename_component(stem ${src} NAME_WE)
    vardo_add_test(${ARG_PREFIX}_${stem} SOURCES ${src} LIBS ${ARG_LIBS})
  endforeach()
  file(GLOB guitests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_guitest.cpp)
  foreach(src ${guitests})
    get_filename_component(stem ${src} NAME_WE)
    vardo_add_test(${ARG_PREFIX}_${stem} SOURCES ${src} LIBS ${ARG_LIBS} ${ARG_GUI_LIBS} GUI)
  endforeach()
endfunction()
