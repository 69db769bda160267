# What the build installs and packages, and an outside project built against the installation.
#
#   cmake -DMODE=install|packages -DBUILD=... -DSOURCE=... -DWORK=... -DOUTSIDE=... -DGENERATOR=...
#         -DCXX=... -DBINDIR=... -DLIBDIR=... -DINCLUDEDIR=... -DMANDIR=... -DDATAROOTDIR=...
#         -P package_test.cmake
#
# MODE=install: `cmake --install --strip` into a fresh prefix must give exactly the files below;
# the installed executable is stripped and converts a script; the manual page is gzipped; the
# licence is the copyright file of each component; the project tests/outside_project finds the
# package with find_package(tvx2mxt), links tvx2mxt::tvx2mxt, and its program prints what the
# library made of a short script.
# MODE=packages: `cpack -G TGZ` (and `cpack -G DEB` where dpkg-deb is there) make one package of
# each component, the program (tvx2mxt) and the library (libtvx2mxt-dev), holding its files,
# the executable stripped; the library's DEB depends on nothing.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

set(program_files
  ${BINDIR}/tvx2mxt
  ${MANDIR}/man1/tvx2mxt.1.gz
  ${DATAROOTDIR}/doc/tvx2mxt/changelog.gz
  ${DATAROOTDIR}/doc/tvx2mxt/copyright)
set(dev_files
  ${INCLUDEDIR}/tvx2mxt/tvx2mxt.h
  ${INCLUDEDIR}/tvx2mxt/version.h
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtConfig.cmake
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtConfigVersion.cmake
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtTargets-CONFIG.cmake
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtTargets.cmake
  ${LIBDIR}/libtvx2mxt.a
  ${DATAROOTDIR}/doc/libtvx2mxt-dev/changelog.gz
  ${DATAROOTDIR}/doc/libtvx2mxt-dev/copyright)
set(installed_files ${program_files} ${dev_files})
foreach(list program_files dev_files installed_files)
  list(SORT ${list})
endforeach()
file(READ ${SOURCE}/LICENSE licence)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

# The files of a list of paths (one a line, folders ending with "/" left out), relative to
# `prefix`, with the build type in the name of the exported targets' file replaced by CONFIG,
# must be those of the list named `expected`.
function(expect_files label listing prefix expected)
  string(REPLACE "\n" ";" paths "${listing}")
  set(files "")
  foreach(path IN LISTS paths)
    string(REGEX REPLACE "^\\./" "" path "${path}")
    if(path STREQUAL "" OR path MATCHES "/$")
      continue()
    endif()
    if(NOT prefix STREQUAL "")
      string(REGEX REPLACE "^${prefix}" "" path "${path}")
    endif()
    string(REGEX REPLACE "tvx2mxtTargets-[a-z]+\\.cmake$" "tvx2mxtTargets-CONFIG.cmake" path
           "${path}")
    list(APPEND files ${path})
  endforeach()
  list(SORT files)
  if(NOT files STREQUAL ${expected})
    string(REPLACE ";" "\n  " got "${files}")
    string(REPLACE ";" "\n  " want "${${expected}}")
    message(FATAL_ERROR "${label} holds\n  ${got}\nexpected\n  ${want}")
  endif()
endfunction()

# `file` says that the executable is stripped of its symbols.
function(expect_stripped executable)
  find_program(FILE_COMMAND file)
  if(NOT FILE_COMMAND)
    message(STATUS "no `file` command: the stripping of ${executable} is not checked")
    return()
  endif()
  run(${FILE_COMMAND} ${executable})
  if(NOT output MATCHES ", stripped")
    message(FATAL_ERROR "${executable} is not stripped: ${output}")
  endif()
endfunction()

# The documentation folder of each component holds the licence as its copyright file and a
# gzipped changelog; the manual page is gzipped.
function(expect_documents root)
  foreach(component tvx2mxt libtvx2mxt-dev)
    set(folder ${root}/${DATAROOTDIR}/doc/${component})
    if(EXISTS ${folder})
      file(READ ${folder}/copyright copyright)
      if(NOT copyright STREQUAL licence OR NOT copyright MATCHES "^MIT License")
        message(FATAL_ERROR "${folder}/copyright is not the MIT licence of LICENSE")
      endif()
      run(gzip -t ${folder}/changelog.gz)
    endif()
  endforeach()
  if(EXISTS ${root}/${MANDIR}/man1)
    run(gzip -dc ${root}/${MANDIR}/man1/tvx2mxt.1.gz)
    if(NOT output MATCHES "^[.']")
      message(FATAL_ERROR "tvx2mxt.1.gz is no manual page")
    endif()
  endif()
endfunction()

if(MODE STREQUAL "install")
  set(prefix ${WORK}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} --strip)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
  string(REPLACE ";" "\n" found "${found}")
  expect_files("the installation" "${found}" "" installed_files)
  expect_stripped(${prefix}/${BINDIR}/tvx2mxt)
  expect_documents(${prefix})

  # The installed executable converts a script.
  file(WRITE ${WORK}/in.tvx "go\nfoo\n")
  run(${prefix}/${BINDIR}/tvx2mxt -I ${WORK}/in.tvx -O ${WORK}/out.mxt)
  file(READ ${WORK}/out.mxt converted)
  if(NOT converted STREQUAL "go\n//No available conversion of command:\tfoo\n")
    message(FATAL_ERROR "the installed executable wrote [${converted}]")
  endif()

  # An outside project, configured against the installation alone.
  run(${CMAKE_COMMAND} -S ${OUTSIDE} -B ${WORK}/outside -G ${GENERATOR}
      -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
  run(${CMAKE_COMMAND} --build ${WORK}/outside)
  run(${WORK}/outside/convert_from_string)
  set(expected
    "go\n//No available conversion of command:\tfoo\n"
    "not converted: 1\n"
    "semicolon lines: 0\n"
    "needs a hand: yes\n"
    "2: not converted: foo\n"
    "q becomes: quit y\n")
  string(CONCAT expected ${expected})
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "the outside project printed\n[${output}]\nexpected\n[${expected}]")
  endif()
elseif(MODE STREQUAL "packages")
  # One archive per component, its paths relative to the archive's root.
  run(cpack -G TGZ --config ${BUILD}/CPackConfig.cmake -B ${WORK})
  foreach(component IN ITEMS tvx2mxt:program_files libtvx2mxt-dev:dev_files)
    string(REPLACE ":" ";" component "${component}")
    list(GET component 0 name)
    list(GET component 1 files)
    file(GLOB archive ${WORK}/${name}-[0-9]*.tar.gz)
    list(LENGTH archive count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "expected one TGZ archive of ${name}, found [${archive}]")
    endif()
    run(tar tzf ${archive})
    expect_files("the TGZ archive of ${name}" "${output}" "" ${files})
    file(MAKE_DIRECTORY ${WORK}/tgz-${name})
    run(tar xzf ${archive} -C ${WORK}/tgz-${name})
    expect_documents(${WORK}/tgz-${name})
  endforeach()
  expect_stripped(${WORK}/tgz-tvx2mxt/${BINDIR}/tvx2mxt)

  find_program(DPKG_DEB dpkg-deb)
  if(DPKG_DEB)
    run(cpack -G DEB --config ${BUILD}/CPackConfig.cmake -B ${WORK})
    foreach(component IN ITEMS tvx2mxt:program_files:devel libtvx2mxt-dev:dev_files:libdevel)
      string(REPLACE ":" ";" component "${component}")
      list(GET component 0 name)
      list(GET component 1 files)
      list(GET component 2 section)
      file(GLOB deb ${WORK}/${name}_*.deb)
      list(LENGTH deb count)
      if(NOT count EQUAL 1)
        message(FATAL_ERROR "expected one DEB package of ${name}, found [${deb}]")
      endif()
      run(${DPKG_DEB} -c ${deb})
      # "drwxr-xr-x root/root 0 2024-01-01 00:00 ./usr/bin/": the path is the last field.
      string(REGEX REPLACE "[^\n]* \\./" "" paths "${output}")
      expect_files("the DEB package ${name}" "${paths}" "usr/" ${files})
      run(${DPKG_DEB} -f ${deb} Package Section Maintainer Description Depends)
      foreach(field "Package: ${name}\n" "Section: ${section}\n" "Maintainer: "
                    "Description: Converts")
        string(FIND "${output}" "${field}" at)
        if(at EQUAL -1)
          message(FATAL_ERROR "the DEB package ${name} lacks [${field}]:\n${output}")
        endif()
      endforeach()
      if(name STREQUAL "libtvx2mxt-dev" AND output MATCHES "Depends:")
        message(FATAL_ERROR "the library's package depends on something:\n${output}")
      endif()
      file(MAKE_DIRECTORY ${WORK}/deb-${name})
      run(${DPKG_DEB} -x ${deb} ${WORK}/deb-${name})
      expect_documents(${WORK}/deb-${name}/usr)
    endforeach()
    expect_stripped(${WORK}/deb-tvx2mxt/usr/${BINDIR}/tvx2mxt)
  endif()
else()
  message(FATAL_ERROR "MODE is install or packages")
endif()
