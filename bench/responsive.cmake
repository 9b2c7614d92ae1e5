# bench_responsive: how long spurwisch.exe takes to answer a sent message
# while it cleans a large temporary folder and URL cache.
add_executable(bench_responsive ${CMAKE_CURRENT_LIST_DIR}/responsive.cpp)
target_include_directories(bench_responsive PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_responsive PRIVATE user32 wininet)
set_target_properties(bench_responsive PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
