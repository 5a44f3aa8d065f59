# Frames per second of the whole frame plus the swap, beside a frame that only
# clears and swaps, at 640 x 480 and 1280 x 960 with both particle pools full.
# Needs a display: xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" bench/bench_render_frame
add_executable(bench_render_frame ${CMAKE_CURRENT_LIST_DIR}/render_frame.cpp)
target_link_libraries(bench_render_frame PRIVATE snapshot_support benchmark::benchmark)
target_compile_definitions(bench_render_frame PRIVATE TESSAVINE_TEXTURE_DIR="${CMAKE_BINARY_DIR}/textures")
add_dependencies(bench_render_frame textures)
