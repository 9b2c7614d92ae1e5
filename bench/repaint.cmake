# Full repaints of the main window with the flat look against the same
# window without it.
add_executable(bench_repaint ${CMAKE_CURRENT_LIST_DIR}/repaint.cpp)
target_link_libraries(bench_repaint PRIVATE spw_app)
set_target_properties(bench_repaint PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
