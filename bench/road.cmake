# Twenty 4 GiB devices through the whole road at once, on the engine tests'
# station.
find_package(GTest REQUIRED)
tessor_bench(road_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/RoadBench.cpp
  DEPS engine taval GTest::gtest)
target_include_directories(road_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(road_bench PRIVATE TESSOR_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
