# Installs the built program into a fresh prefix and starts it from another working directory:
# it must find its wave and instruction files in PREFIX/share/tarn1, also after the whole prefix
# has been moved; a copy in the working directory comes first; a missing file is reported.
# Run as: cmake -DBUILD_DIR=<build> -P install_test.cmake
if(NOT BUILD_DIR)
  message(FATAL_ERROR "BUILD_DIR not given")
endif()

string(RANDOM LENGTH 8 tag)
set(root "${BUILD_DIR}/install-test-${tag}")
set(prefix "${root}/prefix")
set(moved "${root}/moved")
set(elsewhere "${root}/elsewhere")
set(data_files Exhaust.wav Error.wav instruct.doc TarnISpIns.doc)

function(fail what)
  file(REMOVE_RECURSE "${root}")
  message(FATAL_ERROR "${what}")
endfunction()

# Runs <prefix>/bin/tarn1 --data-files in the other folder; sets rc and out in the caller.
function(data_files_of prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                          "${prefix}/bin/tarn1" --data-files
                  WORKING_DIRECTORY "${elsewhere}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE text)
  set(rc "${status}" PARENT_SCOPE)
  set(out "${text}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY "${elsewhere}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
  fail("cmake --install failed (${rc}):\n${log}")
endif()

foreach(f bin/tarn1 share/applications/tarn1.desktop share/icons/hicolor/scalable/apps/tarn1.svg
          share/icons/hicolor/16x16/apps/tarn1.png share/mime/packages/tarn1.xml)
  if(NOT EXISTS "${prefix}/${f}")
    fail("not installed: ${f}")
  endif()
endforeach()
# Where shared-mime-info is present, the install has registered the file type.
if(EXISTS "${prefix}/share/mime/globs2")
  file(READ "${prefix}/share/mime/globs2" globs)
  if(NOT globs MATCHES "application/x-tarn1-dimensions:\\*\\.dti")
    fail("the design file type is not in the installed MIME database:\n${globs}")
  endif()
endif()

# Every file found in the installed data folder.
data_files_of("${prefix}")
if(NOT rc EQUAL 0)
  fail("the installed program did not find its data files (${rc}):\n${out}")
endif()
foreach(f ${data_files})
  if(NOT out MATCHES "${f} +${prefix}/share/tarn1/${f}\n")
    fail("${f} not read from ${prefix}/share/tarn1:\n${out}")
  endif()
endforeach()

# The same after moving the whole prefix; a copy in the working directory wins.
file(RENAME "${prefix}" "${moved}")
file(COPY "${moved}/share/tarn1/instruct.doc" DESTINATION "${elsewhere}")
data_files_of("${moved}")
if(NOT rc EQUAL 0 OR NOT out MATCHES "Exhaust.wav +${moved}/share/tarn1/Exhaust.wav\n"
   OR NOT out MATCHES "instruct.doc +${elsewhere}/instruct.doc\n")
  fail("after moving the prefix (${rc}):\n${out}")
endif()

# A file found nowhere: named as missing, and the status says so.
file(REMOVE "${moved}/share/tarn1/Error.wav")
data_files_of("${moved}")
if(rc EQUAL 0 OR NOT out MATCHES "Error.wav +missing\n")
  fail("a missing data file was not reported (${rc}):\n${out}")
endif()

file(REMOVE_RECURSE "${root}")
message(STATUS "installed program finds its data files")
