# Benchmarks of src/checks; paths are relative to bench/ (this file is included from there).
add_executable(checks_bench checks/checks_bench.cpp)
target_link_libraries(checks_bench PRIVATE zelvora_testsupport benchmark::benchmark)

add_executable(audit_bench checks/audit_bench.cpp)
target_link_libraries(audit_bench PRIVATE zelvora_testsupport benchmark::benchmark)

add_executable(audit_window_bench checks/audit_window_bench.cpp)
target_link_libraries(audit_window_bench PRIVATE zelvora_gui zelvora_testsupport benchmark::benchmark)
