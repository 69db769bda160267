# Memory exhaustion ends the run with "\nmalloc error" on standard output and exit status 2.
# An array assignment writes its target once per value: a target of 64 KiB with 32,769 values
# makes two gigabytes of output, far more than the address-space limit set here.
string(REPEAT "a" 65536 target)
string(REPEAT "1," 32768 values)
file(WRITE ${WORK}/nested.tvx "go\nlet ${target} = ${values}1\n")
execute_process(COMMAND sh -c "ulimit -v 150000 && exec \"$0\" -I nested.tvx -O out.mxt" ${EXE}
  WORKING_DIRECTORY ${WORK}
  OUTPUT_VARIABLE stdout
  RESULT_VARIABLE status)
if(NOT status EQUAL 2 OR NOT stdout STREQUAL "\nmalloc error")
  message(FATAL_ERROR "exit status ${status}, standard output [${stdout}]")
endif()

# In a batch of several jobs too: the job whose memory runs out gives its output up, no
# temporary file stays behind, and the run ends the same way after the scripts finished before.
file(MAKE_DIRECTORY ${WORK}/batch)
file(WRITE ${WORK}/batch/nested.tvx "go\nlet ${target} = ${values}1\n")
foreach(name a b c)
  file(WRITE ${WORK}/batch/${name}.tvx "go\n")
endforeach()
execute_process(COMMAND sh -c "ulimit -v 300000 && exec \"$0\" -j 2 batch" ${EXE}
  WORKING_DIRECTORY ${WORK}
  OUTPUT_VARIABLE stdout
  RESULT_VARIABLE status)
file(GLOB left RELATIVE ${WORK}/batch ${WORK}/batch/.*)
if(NOT status EQUAL 2 OR NOT stdout MATCHES "\nmalloc error$" OR left)
  message(FATAL_ERROR "batch: exit status ${status}, standard output [${stdout}], left [${left}]")
endif()
