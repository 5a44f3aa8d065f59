add_executable(bench_scene_ticks ${CMAKE_CURRENT_LIST_DIR}/scene_ticks.cpp)
target_link_libraries(bench_scene_ticks PRIVATE scene benchmark::benchmark benchmark::benchmark_main)
