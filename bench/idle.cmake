# Idle cost of spurwisch.exe sitting in the tray: CPU time and timer ticks
# over a minute (seen through the probe DLL), private bytes against the
# minimal window program.
add_executable(bench_idle ${CMAKE_CURRENT_SOURCE_DIR}/idle.cpp)
target_link_libraries(bench_idle PRIVATE user32 psapi)
target_include_directories(bench_idle PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(bench_idle bench_baseline_window spw_probe)
