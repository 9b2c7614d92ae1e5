# End-to-end driver: a console program that starts spurwisch.exe from a sandbox
# folder inside the Wine prefix and works it through Win32 messages.
file(GLOB SPW_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
add_executable(e2e_driver ${SPW_E2E_SOURCES})
target_link_libraries(e2e_driver PRIVATE user32 gdi32 advapi32 wininet psapi)

# Stand-ins named like the system DLLs that are not known DLLs, which the
# driver plants beside a copy of the program (in standins/, where nothing
# else looks for them).
foreach(dll msimg32 comctl32 wininet)
  add_library(standin_${dll} SHARED ${CMAKE_CURRENT_SOURCE_DIR}/standin/standin.c)
  set_target_properties(standin_${dll} PROPERTIES PREFIX "" OUTPUT_NAME ${dll}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/standins
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/standins/lib)
  add_dependencies(e2e_driver standin_${dll})
endforeach()

# One ctest entry per scenario, each in a sandbox folder of its own and from
# a known state of the prefix, so any of them runs alone (ctest -R e2e_tray)
# and in any order; `ctest -L e2e` runs them all. The driver knows the same
# names: e2e_scenarios fails when the two lists differ.
set(SPW_E2E_SCENARIOS
  executable main_window dialogs cleaning_click start_page tray
  all_off_start auto_start temp_variables minimised_start
  splash_start minimised_auto_start failing_auto_start log_off busy_run tray_reachable
  unattended folder_in_any_script show_command_starts display_scale planted_dlls)

if(NOT TARGET spurwisch)
  message(FATAL_ERROR "the end-to-end tests need the spurwisch target")
endif()
add_dependencies(e2e_driver spurwisch gallery spw_probe)
set(SPW_E2E_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/xdg;WINEDEBUG=-all")
set(SPW_E2E_TESTS "")
foreach(scenario IN LISTS SPW_E2E_SCENARIOS)
  add_test(NAME e2e_${scenario}
    COMMAND e2e_driver --scenario ${scenario} $<TARGET_FILE:spurwisch> ${CMAKE_BINARY_DIR}/artifacts
            $<TARGET_FILE:gallery>)
  list(APPEND SPW_E2E_TESTS e2e_${scenario})
endforeach()
add_test(NAME e2e_scenarios COMMAND e2e_driver --check-scenarios ${SPW_E2E_SCENARIOS})
# The display-scale scenario sets Wine's LogPixels in the prefix and back;
# should a run be stopped half-way, this entry sets it back at the end (each
# scenario's own start does too).
add_test(NAME e2e_display_scale_reset COMMAND e2e_driver --reset-display-scale)
set_tests_properties(e2e_display_scale PROPERTIES FIXTURES_REQUIRED display_scale)
set_tests_properties(e2e_display_scale_reset PROPERTIES FIXTURES_CLEANUP display_scale)
list(APPEND SPW_E2E_TESTS e2e_scenarios e2e_display_scale_reset)
# Even when ctest is run by hand, Wine must use the build tree's sandbox.
set_tests_properties(${SPW_E2E_TESTS} PROPERTIES LABELS e2e TIMEOUT 180 ENVIRONMENT "${SPW_E2E_ENVIRONMENT}")
# Wine searches for these three the way Windows does, program folder first,
# for every start (the planted stand-ins need it). Wine reads the variable
# from the environment a process inherits, not from the block given to
# CreateProcess, so it is set here, after the overrides scripts/env.sh sets.
set_tests_properties(${SPW_E2E_TESTS} PROPERTIES
  ENVIRONMENT_MODIFICATION "WINEDLLOVERRIDES=string_append:\;msimg32,comctl32,wininet=n,b")
