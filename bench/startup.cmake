# Start-up time of spurwisch.exe against a minimal Win32 window program.
add_executable(bench_baseline_window WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/baseline_window.cpp)
add_executable(bench_startup ${CMAKE_CURRENT_SOURCE_DIR}/startup.cpp)
target_link_libraries(bench_startup PRIVATE user32 winmm)
add_dependencies(bench_startup bench_baseline_window)
