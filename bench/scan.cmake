tessor_bench(bench_scan SOURCES SampleBench.cpp DEPS usb_scan)
