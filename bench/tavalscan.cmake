# Scan firmware of the simulated devices: full pattern passes over large flash.
tessor_bench(tavalscan_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/TavalScanBench.cpp DEPS taval)
