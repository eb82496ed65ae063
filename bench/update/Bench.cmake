# Benchmarks of src/update; paths are relative to bench/ (this file is included from there).
add_executable(update_bench update/update_bench.cpp)
target_link_libraries(update_bench PRIVATE zelvora_testsupport zelvora_gui standin_games Qt6::Test benchmark::benchmark)
# The whole update runs the stand-in MAME, copied into the benchmark's MAME folder.
target_compile_definitions(update_bench PRIVATE ZELVORA_STANDIN_PATH="$<TARGET_FILE:mame>")
add_dependencies(update_bench mame)

# The update from today's MAME: the installed one where there is one, the stand-in replaying a
# generated listing otherwise.
add_executable(update_listxml_bench update/listxml_bench.cpp)
target_link_libraries(update_listxml_bench PRIVATE zelvora_testsupport zelvora_gui Qt6::Test benchmark::benchmark)
target_compile_definitions(update_listxml_bench PRIVATE ZELVORA_STANDIN_PATH="$<TARGET_FILE:mame>")
add_dependencies(update_listxml_bench mame)

# What telling renamed sets adds to the update from today's MAME.
add_executable(update_renames_bench update/renames_bench.cpp)
target_link_libraries(update_renames_bench PRIVATE zelvora_testsupport zelvora_gui benchmark::benchmark)
