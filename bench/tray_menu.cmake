# Tray menu opening time of spurwisch.exe against a minimal program that opens
# a system-drawn nine-item popup menu the same way.
add_executable(bench_baseline_tray_menu WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/baseline_tray_menu.cpp)
add_executable(bench_tray_menu ${CMAKE_CURRENT_SOURCE_DIR}/tray_menu.cpp)
target_link_libraries(bench_tray_menu PRIVATE user32 advapi32 winmm)
add_dependencies(bench_tray_menu bench_baseline_tray_menu)
