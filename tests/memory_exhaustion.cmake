# Memory exhaustion ends the run with "\nmalloc error" on standard output and exit status 2.
# A breakpoint line of a megabyte whose command lists nest deeply needs far more working memory
# than the address-space limit set here.
string(REPEAT "do {b f " 131072 nested)
file(WRITE ${WORK}/nested.tvx "go\nb f ${nested}\n")
execute_process(COMMAND sh -c "ulimit -v 150000 && exec \"$0\" -I nested.tvx -O out.mxt" ${EXE}
  WORKING_DIRECTORY ${WORK}
  OUTPUT_VARIABLE stdout
  RESULT_VARIABLE status)
if(NOT status EQUAL 2 OR NOT stdout STREQUAL "\nmalloc error")
  message(FATAL_ERROR "exit status ${status}, standard output [${stdout}]")
endif()
