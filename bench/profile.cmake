# Configuration and profiles: flash identification against a large flash-chip table.
tessor_bench(profile_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfileFlashBench.cpp DEPS engine)
