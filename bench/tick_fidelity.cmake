add_executable(bench_tick_fidelity ${CMAKE_CURRENT_LIST_DIR}/tick_fidelity.cpp)
target_link_libraries(bench_tick_fidelity PRIVATE shell)
