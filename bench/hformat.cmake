# High-level format of a 16 GiB FAT32 unit against mkfs.fat.
tessor_bench(hformat_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/HFormatBench.cpp DEPS engine taval)
