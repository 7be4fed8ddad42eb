tessor_bench(ecc_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/EccBench.cpp DEPS orrin)
