# Run after a test executable is linked: lists its GoogleTest suites and writes one CTest test
# per suite, so a test run starts one process per suite rather than one per test case (each
# start of a sanitized program costs a fraction of a second, more than most cases take).
#   cmake -D EXE=<program> -D OUT=<file to write> -D NAME=<program's target> -D LABEL=<label>
#         -D WORKDIR=<folder the tests run in> -P ZelboSuites.cmake
execute_process(COMMAND "${EXE}" --gtest_list_tests
                WORKING_DIRECTORY "${WORKDIR}"
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${EXE} --gtest_list_tests failed (${status}):\n${listing}${errors}")
endif()
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(script "")
set(count 0)
foreach(line IN LISTS lines)
  # A suite line starts in the first column and ends in "." (a typed or parameterised suite
  # may add a comment after it); test lines are indented.
  if(line MATCHES "^([^ #][^ ]*)\\.( *#.*)?$")
    set(suite "${CMAKE_MATCH_1}")
    string(APPEND script
      "add_test([==[${NAME}:${suite}]==] [==[${EXE}]==] [==[--gtest_filter=${suite}.*]==])\n"
      "set_tests_properties([==[${NAME}:${suite}]==] PROPERTIES LABELS [==[${LABEL}]==]"
      " WORKING_DIRECTORY [==[${WORKDIR}]==])\n")
    math(EXPR count "${count} + 1")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${EXE} lists no test suites")
endif()
file(WRITE "${OUT}" "${script}")
