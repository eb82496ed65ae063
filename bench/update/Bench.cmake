# Benchmarks of src/update; paths are relative to bench/ (this file is included from there).
