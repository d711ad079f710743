# A CTest entry per GoogleTest suite of a test program, made when ctest starts (the build lists
# this file's calls among its TEST_INCLUDE_FILES): <run>.<Suite> runs the program with
# --gtest_filter=<Suite>.*. For programs whose start costs more than most of their cases.
#
# tarn_add_suites(run program working_directory environment suites): environment is a list of
# NAME=value; suites names the suites to run, or is empty for every suite with a case that is
# not disabled (the program lists them, again whenever it is newer than its listing). An entry
# whose suite ran no test fails: a suite named here that the program no longer has.
function(tarn_add_suites run program working_directory environment suites)
  if(NOT EXISTS "${program}")
    add_test(${run}_NOT_BUILT ${run}_NOT_BUILT)
    return()
  endif()
  if(suites STREQUAL "")
    set(listing "${program}.suites")
    if(NOT EXISTS "${listing}" OR "${program}" IS_NEWER_THAN "${listing}")
      execute_process(COMMAND "${program}" --gtest_list_tests
        WORKING_DIRECTORY "${working_directory}" TIMEOUT 60
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR "${program} --gtest_list_tests failed (${status}):\n${out}${err}")
      endif()
      file(WRITE "${listing}" "${out}")
    endif()
    file(READ "${listing}" out)
    # Suite lines end in "."; case lines are indented; parameters follow a "#". Characters that
    # mean something to a CMake list go first.
    string(REGEX REPLACE "[][;\\]" "_" out "${out}")
    string(REPLACE "\n" ";" lines "${out}")
    set(suite "")
    set(counted TRUE)
    foreach(line IN LISTS lines)
      if(line MATCHES "^([^ ]+)\\.")
        set(suite "${CMAKE_MATCH_1}")
        set(counted FALSE)
      elseif(NOT counted AND line MATCHES "^  [^ ]" AND NOT line MATCHES "^  DISABLED_"
             AND NOT suite MATCHES "^DISABLED_")
        list(APPEND suites "${suite}")
        set(counted TRUE)
      endif()
    endforeach()
  endif()
  foreach(suite IN LISTS suites)
    add_test("${run}.${suite}" "${program}" "--gtest_filter=${suite}.*")
    set_tests_properties("${run}.${suite}" PROPERTIES WORKING_DIRECTORY "${working_directory}"
      ENVIRONMENT "${environment}" FAIL_REGULAR_EXPRESSION "\\[  PASSED  \\] 0 tests")
  endforeach()
endfunction()
