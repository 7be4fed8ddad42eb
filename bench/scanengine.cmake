# The full scan through the tool's device object on large simulated devices.
tessor_bench(scanengine_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScanEngineBench.cpp DEPS engine taval)
