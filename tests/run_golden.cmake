# Runs one golden case through the converter and compares every byte.
#
#   CASE.tvx     the input script, copied to WORK/in.tvx
#   CASE.args    optional: the arguments, one a line ({in} and {out} stand for in.tvx, out.mxt);
#                without it the arguments are -I in.tvx -O out.mxt
#   CASE.stdin   optional: fed as standard input
#   CASE.mxt     the expected output script WORK/out.mxt (absent: no such file may be written)
#   CASE.stdout  the expected standard output (absent: empty)
#   CASE.stderr  optional: the expected standard error (absent: empty)
#   CASE.exit    optional: the expected exit status (absent: 0)
# With -DSCRIPT_ONLY=ON only the output script and the exit status are compared (the examples).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${CASE}.tvx ${WORK}/in.tvx)

set(args -I in.tvx -O out.mxt)
if(EXISTS ${CASE}.args)
  file(STRINGS ${CASE}.args lines)
  set(args "")
  foreach(line IN LISTS lines)
    string(REPLACE "{in}" "in.tvx" line "${line}")
    string(REPLACE "{out}" "out.mxt" line "${line}")
    list(APPEND args "${line}")
  endforeach()
endif()
set(stdin /dev/null)
if(EXISTS ${CASE}.stdin)
  set(stdin ${CASE}.stdin)
endif()

execute_process(COMMAND ${EXE} ${args}
  WORKING_DIRECTORY ${WORK}
  INPUT_FILE ${stdin}
  OUTPUT_FILE ${WORK}/stdout
  ERROR_FILE ${WORK}/stderr
  RESULT_VARIABLE status
  TIMEOUT 60)

set(failures "")
set(want_exit 0)
if(EXISTS ${CASE}.exit)
  file(STRINGS ${CASE}.exit want_exit LIMIT_COUNT 1)
endif()
if(NOT "${status}" STREQUAL "${want_exit}")
  string(APPEND failures "exit status ${status}, expected ${want_exit}\n")
endif()

function(compare got want label)
  if(NOT EXISTS ${want})
    file(WRITE ${WORK}/empty "")
    set(want ${WORK}/empty)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${got} ${want} RESULT_VARIABLE differ)
  if(differ)
    execute_process(COMMAND diff ${want} ${got} OUTPUT_VARIABLE delta)
    set(failures "${failures}${label} differs (< expected, > got):\n${delta}\n" PARENT_SCOPE)
  endif()
endfunction()

if(NOT SCRIPT_ONLY)
  compare(${WORK}/stdout ${CASE}.stdout "standard output")
  compare(${WORK}/stderr ${CASE}.stderr "standard error")
endif()
if(EXISTS ${CASE}.mxt)
  if(EXISTS ${WORK}/out.mxt)
    compare(${WORK}/out.mxt ${CASE}.mxt "output script")
  else()
    string(APPEND failures "no output script was written\n")
  endif()
elseif(EXISTS ${WORK}/out.mxt)
  string(APPEND failures "an output script was written where none may be\n")
endif()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
