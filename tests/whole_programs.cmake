# Test programs whose cases once shared state through what a process keeps (a D-Bus
# connection, the code page, a driver list, a loaded library, the dial-up back end, the
# translation): each must pass when run whole, as a developer runs it.
# Run as: cmake -DBIN_DIR=<bin> -P whole_programs.cmake
cmake_minimum_required(VERSION 3.20)
set(programs
  dialup_networkmanager_test dialup_networkmanager_entry_dialog_guitest dialup_password_memory_test
  dialup_ras_binding_test suite_dialogs_test suite_trial_defaults_test platform_codepage_test
  platform_database_odbc_test platform_database_sqlite_test)
set(failed)
foreach(program ${programs})
  if(NOT EXISTS ${BIN_DIR}/${program})
    continue()
  endif()
  execute_process(COMMAND ${BIN_DIR}/${program} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output TIMEOUT 300)
  if(NOT result EQUAL 0)
    message("${output}")
    list(APPEND failed ${program})
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "Failed when run whole: ${failed}")
endif()
