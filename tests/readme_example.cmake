# The README's library example: the first C++ block of its Library section is built as a program,
# and what the program prints is compared with the block shown after it ("prints").
#
# Included by tests/CMakeLists.txt: takes both blocks out of the README into the build folder
# and adds the program and its test. Run as a script
# (cmake -DEXE=PROGRAM -DEXPECTED=FILE -P readme_example.cmake): runs the program and compares.
if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${EXE} OUTPUT_VARIABLE printed RESULT_VARIABLE status)
  file(READ ${EXPECTED} expected)
  if(NOT status EQUAL 0 OR NOT printed STREQUAL expected)
    message(FATAL_ERROR
      "the README example ended with ${status} and printed\n[${printed}]\nexpected\n[${expected}]")
  endif()
  return()
endif()

set(readme_file ${PROJECT_SOURCE_DIR}/README.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme_file})
file(READ ${readme_file} readme)

# The text of the first "```LANGUAGE" block of `text` (from its start), and the text after it.
function(take_block text language block_var rest_var)
  string(FIND "${text}" "```${language}\n" begin)
  if(begin EQUAL -1)
    message(FATAL_ERROR "README.md: no ```${language} block in its Library section")
  endif()
  string(LENGTH "```${language}\n" marker)
  math(EXPR begin "${begin} + ${marker}")
  string(SUBSTRING "${text}" ${begin} -1 text)
  string(FIND "${text}" "```\n" end)
  string(SUBSTRING "${text}" 0 ${end} block)
  math(EXPR end "${end} + 4")
  string(SUBSTRING "${text}" ${end} -1 rest)
  set(${block_var} "${block}" PARENT_SCOPE)
  set(${rest_var} "${rest}" PARENT_SCOPE)
endfunction()

string(FIND "${readme}" "\n## Library\n" library_at)
string(SUBSTRING "${readme}" ${library_at} -1 library)
take_block("${library}" "cpp" example_source after_example)
take_block("${after_example}" "" example_output after_output)
set(example_dir ${CMAKE_CURRENT_BINARY_DIR}/readme-example)
file(WRITE ${example_dir}/main.cpp "${example_source}")
file(WRITE ${example_dir}/expected.txt "${example_output}")

add_executable(readme_example ${example_dir}/main.cpp)
target_link_libraries(readme_example PRIVATE tvx2mxt_core)
add_test(NAME readme_example
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:readme_example>
          -DEXPECTED=${example_dir}/expected.txt -P ${CMAKE_CURRENT_SOURCE_DIR}/readme_example.cmake)
set_tests_properties(readme_example PROPERTIES LABELS unit)
