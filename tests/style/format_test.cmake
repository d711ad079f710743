# Every C++ file of the tree is laid out as .clang-format says. Run by CTest with
# -DSOURCE_DIR=... -DCLANG_FORMAT=path.
file(GLOB_RECURSE files
  "${SOURCE_DIR}/core/*.h" "${SOURCE_DIR}/core/*.cpp" "${SOURCE_DIR}/gui/*.h" "${SOURCE_DIR}/gui/*.cpp"
  "${SOURCE_DIR}/cli/*.h" "${SOURCE_DIR}/cli/*.cpp"
  "${SOURCE_DIR}/app/*.cpp" "${SOURCE_DIR}/tests/*.h" "${SOURCE_DIR}/tests/*.cpp"
  "${SOURCE_DIR}/bench/*.h" "${SOURCE_DIR}/bench/*.cpp")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Files not laid out as .clang-format says (run make format):\n${errors}")
endif()
