// Benchmarks are added here.
