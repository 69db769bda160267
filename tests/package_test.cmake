# What the build installs and packages, and an outside project built against the installation.
#
#   cmake -DMODE=install|packages -DBUILD=... -DWORK=... -DOUTSIDE=... -DGENERATOR=... -DCXX=...
#         -DBINDIR=... -DLIBDIR=... -DINCLUDEDIR=... -DMANDIR=... -P package_test.cmake
#
# MODE=install: `cmake --install` into a fresh prefix must give exactly the files below; the
# installed executable converts a script; the project tests/outside_project finds the package
# with find_package(tvx2mxt), links tvx2mxt::tvx2mxt, and its program prints what the library
# made of a short script.
# MODE=packages: `cpack -G TGZ` (and `cpack -G DEB` where dpkg-deb is there) hold the same files.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

set(installed_files
  ${BINDIR}/tvx2mxt
  ${INCLUDEDIR}/tvx2mxt/tvx2mxt.h
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtConfig.cmake
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtConfigVersion.cmake
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtTargets-CONFIG.cmake
  ${LIBDIR}/cmake/tvx2mxt/tvx2mxtTargets.cmake
  ${LIBDIR}/libtvx2mxt.a
  ${MANDIR}/man1/tvx2mxt.1)
list(SORT installed_files)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

# The files of a list of paths (one a line, folders ending with "/" left out), relative to
# `prefix`, with the build type in the name of the exported targets' file replaced by CONFIG.
function(expect_files label listing prefix)
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
  if(NOT files STREQUAL installed_files)
    string(REPLACE ";" "\n  " got "${files}")
    string(REPLACE ";" "\n  " want "${installed_files}")
    message(FATAL_ERROR "${label} holds\n  ${got}\nexpected\n  ${want}")
  endif()
endfunction()

if(MODE STREQUAL "install")
  set(prefix ${WORK}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
  string(REPLACE ";" "\n" found "${found}")
  expect_files("the installation" "${found}" "")

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
  run(cpack -G TGZ --config ${BUILD}/CPackConfig.cmake -B ${WORK})
  file(GLOB archives ${WORK}/*.tar.gz)
  run(tar tzf ${archives})
  # The archive's paths begin with its own folder, named like the archive.
  get_filename_component(top ${archives} NAME)
  string(REGEX REPLACE "\\.tar\\.gz$" "/" top "${top}")
  expect_files("the TGZ package" "${output}" "${top}")

  find_program(DPKG_DEB dpkg-deb)
  if(DPKG_DEB)
    run(cpack -G DEB --config ${BUILD}/CPackConfig.cmake -B ${WORK})
    file(GLOB debs ${WORK}/*.deb)
    run(${DPKG_DEB} -c ${debs})
    # "drwxr-xr-x root/root 0 2024-01-01 00:00 ./usr/bin/": the path is the last field.
    string(REGEX REPLACE "[^\n]* \\./" "" paths "${output}")
    expect_files("the DEB package" "${paths}" "usr/")
    run(${DPKG_DEB} -f ${debs} Package Section Maintainer Description)
    foreach(field "Package: tvx2mxt" "Section: devel" "Maintainer: " "Description: Converts")
      string(FIND "${output}" "${field}" at)
      if(at EQUAL -1)
        message(FATAL_ERROR "the DEB package's fields lack [${field}]:\n${output}")
      endif()
    endforeach()
  endif()
else()
  message(FATAL_ERROR "MODE is install or packages")
endif()
