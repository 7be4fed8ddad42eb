tessor_bench(bench_scan SOURCES SampleBench.cpp DEPS engine)
