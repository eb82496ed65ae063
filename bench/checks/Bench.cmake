# Benchmarks of src/checks; paths are relative to bench/ (this file is included from there).
