# Full repaints of the gallery form with the flat look against Active false.
add_executable(bench_gallery_repaint ${CMAKE_CURRENT_LIST_DIR}/gallery_repaint.cpp)
target_link_libraries(bench_gallery_repaint PRIVATE spw_gallery)
set_target_properties(bench_gallery_repaint PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
