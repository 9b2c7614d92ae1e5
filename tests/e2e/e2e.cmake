# End-to-end driver: a console program that starts spurwisch.exe from a sandbox
# folder inside the Wine prefix and works it through Win32 messages.
file(GLOB SPW_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
add_executable(e2e_driver ${SPW_E2E_SOURCES})
target_link_libraries(e2e_driver PRIVATE user32 gdi32 advapi32 wininet psapi)

if(TARGET spurwisch)
  add_dependencies(e2e_driver spurwisch)
  add_test(NAME e2e COMMAND e2e_driver $<TARGET_FILE:spurwisch> ${CMAKE_BINARY_DIR}/artifacts)
  # Even when ctest is run by hand, Wine must use the build tree's sandbox.
  set_tests_properties(e2e PROPERTIES TIMEOUT 300
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/xdg;WINEDEBUG=-all")
endif()
