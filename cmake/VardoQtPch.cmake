# The libraries and programs parse the Qt headers once a build: vardo_platform precompiles
# Qt Core, vardo_platform_widgets Qt Core, Gui and Widgets, and the others reuse theirs.
option(VARDO_PCH "Compile the libraries with precompiled Qt headers" ON)

# vardo_qt_pch(target [WIDGETS])
function(vardo_qt_pch target)
  cmake_parse_arguments(ARG "WIDGETS" "" "" ${ARGN})
  if(NOT VARDO_PCH)
    return()
  endif()
  set(owner vardo_platform)
  set(headers <QtCore>)
  if(ARG_WIDGETS)
    set(owner vardo_platform_widgets)
    list(APPEND headers <QtGui> <QtWidgets>)
  endif()
  # A precompiled header is taken only with the coverage flag it was built with: in a
  # fuzzer build every library sharing one carries it.
  if(VARDO_BUILD_FUZZERS)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  if(target STREQUAL owner)
    target_precompile_headers(${target} PRIVATE ${headers})
  else()
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
endfunction()
