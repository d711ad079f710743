# What the Makefile's set-up targets compile, as make would run them (make -n runs nothing):
# `make run` and `make install` build the program alone, so that on a fresh machine the window
# opens without waiting for the test suites; `make test` builds everything.
# Run as: cmake -DMAKE=<make> -DSOURCE_DIR=<source> -DBUILD_DIR=<build> -P make_targets_test.cmake
foreach(v MAKE SOURCE_DIR BUILD_DIR)
  if(NOT ${v})
    message(FATAL_ERROR "${v} not given")
  endif()
endforeach()

# A build folder that is never made: only the commands are looked at.
set(build "${BUILD_DIR}/make-targets-never-built")
foreach(goal run install test)
  execute_process(COMMAND ${MAKE} -n -C "${SOURCE_DIR}" ${goal} "BUILD=${build}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "make -n ${goal} failed (${rc}):\n${err}")
  endif()
  string(REGEX MATCHALL "cmake --build [^\n]*" builds "${out}")
  list(LENGTH builds n)
  if(goal STREQUAL "test")
    if(NOT n EQUAL 1 OR builds MATCHES "--target")
      message(SEND_ERROR "make test must build everything, it runs:\n${builds}")
    endif()
  elseif(NOT n EQUAL 1 OR NOT builds MATCHES "^cmake --build ${build} -j[0-9]+ --target tarn1$")
    message(SEND_ERROR "make ${goal} must build the program alone, it runs:\n${builds}")
  endif()
endforeach()
