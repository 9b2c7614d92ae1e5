# bench_preview: spurwisch.exe /preview against /clean on the same fixture.
add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/preview.cpp)
target_include_directories(bench_preview PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_preview PRIVATE wininet)
set_target_properties(bench_preview PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
