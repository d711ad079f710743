# The real program on the command line, as a script or a user meets it: no display, a German
# locale, standard output that cannot be written. Run by CTest with -DPROGRAM=path/to/tarn1.
function(run)
  cmake_parse_arguments(R "" "OUT;STATUS;STDERR;STDOUT" "ARGS" ${ARGN})
  if(NOT R_OUT)
    set(R_OUT ${WORK}/stdout.txt)
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            LC_ALL=de_DE.UTF-8 ${PROGRAM} ${R_ARGS}
    OUTPUT_FILE ${R_OUT} ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 60)
  set(${R_STATUS} "${status}" PARENT_SCOPE)
  set(${R_STDERR} "${err}" PARENT_SCOPE)
  if(R_STDOUT)
    if(R_OUT STREQUAL "/dev/full")
      set(${R_STDOUT} "" PARENT_SCOPE)
    else()
      file(READ ${R_OUT} out)
      set(${R_STDOUT} "${out}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

set(WORK ${CMAKE_CURRENT_BINARY_DIR}/command_line_test)
file(MAKE_DIRECTORY ${WORK})

# Short help without a display.
foreach(flag -h -? --help)
  run(ARGS ${flag} STATUS s STDERR e STDOUT o)
  if(NOT s EQUAL 0 OR NOT o MATCHES "^usage: ")
    message(SEND_ERROR "'tarn1 ${flag}' without a display: status ${s}, output '${o}', errors '${e}'")
  endif()
endforeach()

# A usage error names the argument.
run(ARGS --events --format xml STATUS s STDERR e)
if(NOT s EQUAL 64 OR NOT e MATCHES "'xml'")
  message(SEND_ERROR "bad --format: status ${s}, errors '${e}'")
endif()

# Standard output on a full device: reported in English, and a failing status.
foreach(args "--events" "--help" "--version" "--events;--format;csv" "--optimise;--vary;DriverDia"
    "--performance;--speeds;100")
  run(ARGS ${args} OUT /dev/full STATUS s STDERR e)
  if(NOT s EQUAL 74 OR NOT e MATCHES "cannot write the output: No space left on device")
    message(SEND_ERROR "'tarn1 ${args}' > /dev/full: status ${s}, errors '${e}'")
  endif()
endforeach()

# Positions beyond any number are clamped to the gear's limits.
run(ARGS --events --positions 1e5000 STATUS s STDERR e STDOUT o)
if(NOT s EQUAL 0 OR NOT o MATCHES "full reverse")
  message(SEND_ERROR "--positions 1e5000: status ${s}, output '${o}', errors '${e}'")
endif()
# The optimiser: a report with points under a German locale; a bad name or a missing design
# refused with the statuses of the help.
run(ARGS --optimise --vary RadiusRodLen,DriverDia --positions Fwd STATUS s STDERR e STDOUT o)
if(NOT s EQUAL 0 OR NOT o MATCHES "\nRadiusRodLen +5\\.000000 +[0-9]\\.[0-9][0-9][0-9][0-9][0-9][0-9] "
   OR NOT o MATCHES "DriverDia[ .0-9]+no effect\n" OR NOT o MATCHES "\nAfter:\n"
   OR o MATCHES "[0-9],[0-9]")
  message(SEND_ERROR "--optimise: status ${s}, output '${o}', errors '${e}'")
endif()
run(ARGS --optimise --vary RadiusRodLen,Bogus STATUS s STDERR e)
if(NOT s EQUAL 64 OR NOT e MATCHES "'Bogus'")
  message(SEND_ERROR "--optimise with a bad name: status ${s}, errors '${e}'")
endif()
run(ARGS --optimise ${WORK}/missing.dti --vary RadiusRodLen STATUS s STDERR e)
if(NOT s EQUAL 2 OR NOT e MATCHES "missing.dti")
  message(SEND_ERROR "--optimise with a missing design: status ${s}, errors '${e}'")
endif()
# --out over a file marked read-only in a writable folder: refused, the file as it was (the mode
# bits count: the tests may run as the superuser, who could write it).
file(WRITE ${WORK}/locked.dti "kept")
file(CHMOD ${WORK}/locked.dti PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
run(ARGS --optimise --vary RadiusRodLen --positions Fwd --out ${WORK}/locked.dti STATUS s STDERR e)
file(SIZE ${WORK}/locked.dti size)
if(NOT s EQUAL 74 OR NOT e MATCHES "locked.dti: the file is read-only\n" OR NOT size EQUAL 4)
  message(SEND_ERROR "--out over a read-only file: status ${s}, errors '${e}', ${size} bytes")
endif()
file(REMOVE_RECURSE ${WORK})
