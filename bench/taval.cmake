# Simulated devices: flash and logical throughput, memory per device, parallel devices.
tessor_bench(taval_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/TavalBench.cpp DEPS taval)
