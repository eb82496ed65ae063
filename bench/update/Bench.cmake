# Benchmarks of src/update; paths are relative to bench/ (this file is included from there).
add_executable(update_bench update/update_bench.cpp)
target_link_libraries(update_bench PRIVATE zelvora_testsupport standin_games benchmark::benchmark)
