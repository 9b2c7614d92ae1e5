# bench_purge: times the URL cache purge and the temp folder purge against a
# raw-call baseline in the same run. Only runs inside the Wine sandbox.
add_executable(bench_purge ${CMAKE_CURRENT_LIST_DIR}/purge.cpp)
target_link_libraries(bench_purge PRIVATE spw_clean spw_platform spw_ui wininet shell32 psapi)
set_target_properties(bench_purge PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
