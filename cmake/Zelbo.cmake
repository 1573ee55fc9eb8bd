# Shared build helpers for the project's areas.

# Warnings are errors in our own code.
# GCC 12's -Wrestrict reports std::string concatenations at -O3 that cannot overlap
# (a known false positive of that compiler), so it is left out there; its -Warray-bounds
# reports vector copies at -O3 past ends they never reach, so it stays a warning there (the
# sanitizer builds check real bounds).
function(zelbo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
                         $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict -Wno-error=array-bounds>)
endfunction()

# zelbo_library(NAME <target> [DIR <dir>] [DEPS <targets...>] [SYSTEM_DEPS <targets...>])
# One static library from the .cpp files of DIR, leaving out tests, benchmarks and fuzzers.
function(zelbo_library)
  cmake_parse_arguments(A "" "NAME;DIR" "DEPS;SYSTEM_DEPS" ${ARGN})
  if(NOT A_DIR)
    set(A_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp)
  list(FILTER srcs EXCLUDE REGEX "_(test|bench|fuzz|main)\\.cpp$")
  if(NOT srcs)
    # A folder still being written: headers only for now.
    add_library(${A_NAME} INTERFACE)
    target_include_directories(${A_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${A_NAME} INTERFACE ${A_DEPS} ${A_SYSTEM_DEPS})
    return()
  endif()
  add_library(${A_NAME} STATIC ${srcs})
  target_include_directories(${A_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${A_NAME} PUBLIC ${A_DEPS} ${A_SYSTEM_DEPS})
  zelbo_warnings(${A_NAME})
endfunction()

# zelbo_tests(NAME <exe> LABEL <label> [DIR <dir>] DEPS <targets...>)
# One GoogleTest executable from the *_test.cpp files of DIR, registered with CTest under LABEL.
function(zelbo_tests)
  cmake_parse_arguments(A "" "NAME;LABEL;DIR" "DEPS" ${ARGN})
  if(NOT A_DIR)
    set(A_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*_test.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${A_NAME} ${srcs})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  zelbo_warnings(${A_NAME})
  gtest_discover_tests(${A_NAME} PROPERTIES LABELS ${A_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()

# zelbo_benchmarks(NAME <exe> [DIR <dir>] DEPS <targets...>)
function(zelbo_benchmarks)
  cmake_parse_arguments(A "" "NAME;DIR" "DEPS" ${ARGN})
  if(NOT ZELBO_BENCHMARKS)
    return()
  endif()
  if(NOT A_DIR)
    set(A_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*_bench.cpp)
  if(NOT srcs)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${A_NAME} ${srcs})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
  zelbo_warnings(${A_NAME})
endfunction()

# zelbo_fuzzer(NAME <exe> SOURCES <files...> [DEPS <targets...>] [SEEDS <folders...>])
# A libFuzzer target, built only with -DZELBO_FUZZ=ON (clang): the target and the code it
# links are instrumented and checked by AddressSanitizer and UndefinedBehaviorSanitizer.
# SEEDS are folders of inputs to start from (listed in <exe>.seeds beside the program).
# scripts/fuzz builds and runs every executable named *_fuzz.
if(ZELBO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ZELBO_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  # Coverage of the libraries under test, not only of the fuzz target itself.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
function(zelbo_fuzzer)
  cmake_parse_arguments(A "" "NAME" "SOURCES;DEPS;SEEDS" ${ARGN})
  if(NOT ZELBO_FUZZ)
    return()
  endif()
  add_executable(${A_NAME} ${A_SOURCES})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS})
  target_compile_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  zelbo_warnings(${A_NAME})
  list(JOIN A_SEEDS "\n" seeds)
  file(GENERATE OUTPUT $<TARGET_FILE:${A_NAME}>.seeds CONTENT "${seeds}\n")
endfunction()

# zelbo_stamp_program(<target> [FILE_TYPE <n>])
# Links the version stamp into a program: the project's VERSION as file and product version,
# Swedish (0x041D), code page 1252, file type VFT_APP (1) unless given. See platform/version.
function(zelbo_stamp_program target)
  cmake_parse_arguments(A "" "FILE_TYPE" "" ${ARGN})
  if(NOT A_FILE_TYPE)
    set(A_FILE_TYPE 1)
  endif()
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(v ${PROJECT_VERSION_${part}})
    if(v STREQUAL "")
      set(v 0)
    endif()
    list(APPEND numbers ${v})
  endforeach()
  list(JOIN numbers "," numbers)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/version/stamp/program_stamp.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE ZELBO_STAMP_VERSION=${numbers} ZELBO_STAMP_FILE_TYPE=${A_FILE_TYPE})
endfunction()
