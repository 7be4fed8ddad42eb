# Libraries by folder; tests link only what they use.
# tessor_library(NAME SOURCES a.cpp b.cpp DEPS other_lib ...)
# A library named again in another folder gains that folder's sources: where
# folders need each other, they are one library, so the libraries stay a
# graph without cycles. `engine` is the framework under schema/ and the
# production objects under usb/ it creates and they derive from.
function(tessor_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(TARGET ${name})
    target_sources(${name} PRIVATE ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# A test's time limit fits it under the slowest sanitizer on an idle machine;
# a machine busy with other work takes several times as long, so every limit
# is multiplied by TESSOR_TEST_TIMEOUT_FACTOR, read from the environment when
# the build is configured (a whole number, default 4).
if(DEFINED ENV{TESSOR_TEST_TIMEOUT_FACTOR})
  set(TESSOR_TEST_TIMEOUT_FACTOR "$ENV{TESSOR_TEST_TIMEOUT_FACTOR}")
else()
  set(TESSOR_TEST_TIMEOUT_FACTOR 4)
endif()
if(NOT TESSOR_TEST_TIMEOUT_FACTOR MATCHES "^[1-9][0-9]*$")
  message(FATAL_ERROR "TESSOR_TEST_TIMEOUT_FACTOR is a whole number from 1, not '${TESSOR_TEST_TIMEOUT_FACTOR}'")
endif()

# tessor_test_timeout(NAME seconds): the test's time limit on an idle machine.
function(tessor_test_timeout name seconds)
  math(EXPR limit "${seconds} * ${TESSOR_TEST_TIMEOUT_FACTOR}")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${limit})
endfunction()

# tessor_test(NAME [ENGINE] [TIMEOUT seconds] SOURCES t.cpp ... DEPS lib ...)
# ENGINE tests are also built and run under the sanitizers. TIMEOUT fits the
# program under the slowest sanitizer, so a hang fails in seconds.
function(tessor_test name)
  cmake_parse_arguments(ARG "ENGINE" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_ENGINE AND NOT TESSOR_SANITIZE STREQUAL "")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The demo station's files, which tests take their profiles and tables from.
  target_compile_definitions(${name} PRIVATE TESSOR_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  set(labels "")
  if(ARG_ENGINE)
    set(labels engine)
    set_property(GLOBAL APPEND PROPERTY TESSOR_ENGINE_TESTS ${name})
  endif()
  tessor_test_timeout(${name} ${ARG_TIMEOUT})
  set_tests_properties(${name} PROPERTIES LABELS "${labels}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TESSOR_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

# tessor_fuzz_target(NAME SOURCES t.cpp ... DEPS lib ...)
# A target that defines LLVMFuzzerTestOneInput. The fuzzer build makes it a
# libFuzzer program, run by hand on its seed corpus (corpus/NAME beside its
# sources); every other build makes it a program that gives the target each
# file of that corpus once, an engine test.
function(tessor_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(TESSOR_SANITIZE STREQUAL "fuzzer")
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY TESSOR_FUZZ_TARGETS ${name})
    return()
  endif()
  target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/FuzzReplay.cpp)
  add_test(NAME ${name} COMMAND ${name} ${corpus})
  tessor_test_timeout(${name} 60)
  set_tests_properties(${name} PROPERTIES LABELS engine)
  set_property(GLOBAL APPEND PROPERTY TESSOR_ENGINE_TESTS ${name})
endfunction()

# tessor_add_subdirectories(a b c): adds those that exist, so areas can land one by one.
function(tessor_add_subdirectories)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

function(tessor_finish_targets)
  get_property(engine GLOBAL PROPERTY TESSOR_ENGINE_TESTS)
  add_custom_target(engine_tests)
  if(engine)
    add_dependencies(engine_tests ${engine})
  endif()
  get_property(fuzz GLOBAL PROPERTY TESSOR_FUZZ_TARGETS)
  add_custom_target(fuzz_targets)
  if(fuzz)
    add_dependencies(fuzz_targets ${fuzz})
  endif()
endfunction()
