# Shared build helpers for the project's areas.

# Warnings are errors in our own code.
# GCC 12's -Wrestrict reports std::string concatenations at -O2 and -O3 that cannot overlap
# (a known false positive of that compiler), so it is left out there; its -Warray-bounds
# reports vector copies at -O2 and -O3 past ends they never reach, so it stays a warning there
# (the sanitizer builds check real bounds).
function(zelbo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
                         $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict -Wno-error=array-bounds>)
endfunction()

# A dependency named like one of our targets must be one when the whole tree is read: CMake
# would otherwise take an unknown name for a system library and fail only at the link.
function(zelbo_check_deps target)
  foreach(dep IN LISTS ARGN)
    if(dep MATCHES "^(platform|media|engine|app|tools|adult|setup|activities)_" AND NOT TARGET ${dep})
      message(FATAL_ERROR "${target} links ${dep}, which is no target of this tree")
    endif()
  endforeach()
endfunction()
macro(zelbo_defer_check_deps target)
  cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL zelbo_check_deps ${target} ${ARGN})
endmacro()

# zelbo_library(NAME <target> [DIR <dir>] [DEPS <targets...>] [SYSTEM_DEPS <targets...>])
# One static library from the .cpp files of DIR, leaving out tests, benchmarks and fuzzers.
function(zelbo_library)
  cmake_parse_arguments(A "" "NAME;DIR" "DEPS;SYSTEM_DEPS" ${ARGN})
  if(NOT A_DIR)
    set(A_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  zelbo_defer_check_deps(${A_NAME} ${A_DEPS})
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
  if(ZELBO_FUZZ)
    # Coverage for the fuzz targets that link this library.
    target_compile_options(${A_NAME} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  zelbo_warnings(${A_NAME})
endfunction()

# zelbo_tests(NAME <exe> LABEL <label> [DIR <dir>] DEPS <targets...>)
# One GoogleTest executable from the *_test.cpp files of DIR, registered with CTest under LABEL,
# one CTest test per suite ("<exe>:<suite>").
function(zelbo_tests)
  cmake_parse_arguments(A "" "NAME;LABEL;DIR" "DEPS" ${ARGN})
  if(NOT A_DIR)
    set(A_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*_test.cpp)
  if(NOT srcs)
    return()
  endif()
  zelbo_defer_check_deps(${A_NAME} ${A_DEPS})
  add_executable(${A_NAME} ${srcs})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  zelbo_warnings(${A_NAME})
  # One CTest test per suite, listed from the program each time it is linked.
  set(suites "${CMAKE_CURRENT_BINARY_DIR}/${A_NAME}_suites.cmake")
  add_custom_command(TARGET ${A_NAME} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D EXE=$<TARGET_FILE:${A_NAME}> -D OUT=${suites} -D NAME=${A_NAME}
            -D LABEL=${A_LABEL} -D WORKDIR=${CMAKE_CURRENT_BINARY_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/ZelboSuites.cmake
    BYPRODUCTS ${suites} VERBATIM)
  set(include "${CMAKE_CURRENT_BINARY_DIR}/${A_NAME}_include.cmake")
  file(WRITE ${include}
    "if(EXISTS [==[${suites}]==])\n"
    "  include([==[${suites}]==])\n"
    "else()\n"
    "  add_test([==[${A_NAME}_NOT_BUILT]==] [==[${A_NAME}_NOT_BUILT]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include})
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
  zelbo_defer_check_deps(${A_NAME} ${A_DEPS})
  add_executable(${A_NAME} ${srcs})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
  zelbo_warnings(${A_NAME})
endfunction()

# zelbo_fuzzer(NAME <exe> SOURCES <files...> [DEPS <targets...>] [SEEDS <folders...>])
# A libFuzzer target, built only with -DZELBO_FUZZ=ON (clang), in the same build as the tests:
# the target and every zelbo_library are instrumented for coverage, and everything is checked
# by AddressSanitizer and UndefinedBehaviorSanitizer. SEEDS are folders of inputs to start from (listed in
# <exe>.seeds beside the program). scripts/fuzz runs every executable named *_fuzz.
function(zelbo_fuzzer)
  cmake_parse_arguments(A "" "NAME" "SOURCES;DEPS;SEEDS" ${ARGN})
  if(NOT ZELBO_FUZZ)
    return()
  endif()
  if(NOT A_NAME MATCHES "_fuzz$")
    message(FATAL_ERROR "zelbo_fuzzer: ${A_NAME}: a fuzz target's name ends in _fuzz")
  endif()
  zelbo_defer_check_deps(${A_NAME} ${A_DEPS})
  add_executable(${A_NAME} ${A_SOURCES})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS})
  target_compile_options(${A_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${A_NAME} PRIVATE -fsanitize=fuzzer)
  zelbo_warnings(${A_NAME})
  list(JOIN A_SEEDS "\n" seeds)
  file(GENERATE OUTPUT $<TARGET_FILE:${A_NAME}>.seeds CONTENT "${seeds}\n")
endfunction()

# zelbo_activity(NAME <folder> [DEPS <targets...>])
# One activity, the same way for all five, from the files of activities/<folder>/:
#   activities_<folder>            the library (its .cpp files) on the engine's facade;
#   activities_<folder>_tests      its *_test.cpp files, ctest label <folder>, with the built
#                                  resource files at hand (ZELBO_RES_DIR) and its golden images
#                                  in tests/golden/<folder>/ (ZELBO_GOLDEN_DIR);
#   activities_<folder>_<what>_fuzz  one fuzz target per <what>_fuzz.cpp (scripts/fuzz seeds it
#                                  from tests/fuzz/activities_<folder>_<what>_fuzz/).
function(zelbo_activity)
  cmake_parse_arguments(A "" "NAME" "DEPS" ${ARGN})
  set(lib activities_${A_NAME})
  zelbo_library(NAME ${lib}
    DEPS engine_popups engine_toolbox engine_players engine_scene engine_base media_res media_util platform_core ${A_DEPS})
  find_package(PNG REQUIRED)
  zelbo_tests(NAME ${lib}_tests LABEL ${A_NAME}
    DEPS ${lib} engine_toolbox platform_headless platform_backends PNG::PNG)
  if(TARGET ${lib}_tests)
    target_compile_definitions(${lib}_tests PRIVATE ZELBO_GOLDEN_DIR="${PROJECT_SOURCE_DIR}/tests/golden/${A_NAME}")
    zelbo_use_res_dir(${lib}_tests)
  endif()
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_fuzz.cpp)
  foreach(source IN LISTS fuzzers)
    get_filename_component(what ${source} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" what ${what})
    zelbo_fuzzer(NAME ${lib}_${what}_fuzz SOURCES ${source} DEPS ${lib})
  endforeach()
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
