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

if(TARGET spurwisch)
  add_dependencies(e2e_driver spurwisch)
  add_test(NAME e2e COMMAND e2e_driver $<TARGET_FILE:spurwisch> ${CMAKE_BINARY_DIR}/artifacts)
  # Even when ctest is run by hand, Wine must use the build tree's sandbox.
  set_tests_properties(e2e PROPERTIES TIMEOUT 300
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/xdg;WINEDEBUG=-all")
  # Wine searches for these three the way Windows does, program folder first,
  # for every start in the run (the planted stand-ins need it). Wine reads the
  # variable from the environment a process inherits, not from the block given
  # to CreateProcess, so it is set here, after the overrides scripts/env.sh sets.
  set_tests_properties(e2e PROPERTIES
    ENVIRONMENT_MODIFICATION "WINEDLLOVERRIDES=string_append:\;msimg32,comctl32,wininet=n,b")

  # The program at 100 %, 125 %, 150 % and 200 %: each start sets Wine's
  # LogPixels in the sandbox prefix and sets it back after; the cleanup entry
  # sets it back should the run be stopped half-way.
  add_test(NAME e2e_display_scale COMMAND e2e_driver --display-scale $<TARGET_FILE:spurwisch>
    ${CMAKE_BINARY_DIR}/artifacts $<TARGET_FILE:gallery>)
  add_test(NAME e2e_display_scale_reset COMMAND e2e_driver --reset-display-scale)
  set_tests_properties(e2e_display_scale e2e_display_scale_reset PROPERTIES TIMEOUT 180
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/xdg;WINEDEBUG=-all")
  set_tests_properties(e2e_display_scale PROPERTIES FIXTURES_REQUIRED display_scale)
  set_tests_properties(e2e_display_scale_reset PROPERTIES FIXTURES_CLEANUP display_scale)
  add_dependencies(e2e_driver spw_probe)
endif()
