tessor_bench(bitmap_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/BitmapBench.cpp DEPS engine)
