# Bitmap decoding throughput, ours beside SDL's SDL_LoadBMP + conversion to RGB24.
add_executable(bench_image_decode ${CMAKE_CURRENT_LIST_DIR}/image_decode.cpp)
target_link_libraries(bench_image_decode PRIVATE image platform SDL2::SDL2 benchmark::benchmark)
