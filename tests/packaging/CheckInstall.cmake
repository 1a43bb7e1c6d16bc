# Installs the build under a scratch DESTDIR and prefix, and compares what lands there with
# what a lab's machine should get: the program, both simulators under their installed names,
# the desktop entry and the icon, and nothing of the tests or benchmarks.
#   cmake -DBUILD=<build folder> -DSTAGE=<scratch folder> -P CheckInstall.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE} ${CMAKE_COMMAND} --install "${BUILD}" --prefix /opt/lab
                RESULT_VARIABLE result OUTPUT_QUIET)
if(result)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

file(GLOB_RECURSE installed RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT installed)
set(expected
    opt/lab/bin/tessaly
    opt/lab/bin/tessaly-controller-simulator
    opt/lab/bin/tessaly-pump-simulator
    opt/lab/share/applications/tessaly.desktop
    opt/lab/share/icons/hicolor/scalable/apps/tessaly.svg)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " installed "${installed}")
  message(FATAL_ERROR "installed files:\n  ${installed}")
endif()

foreach(program tessaly tessaly-controller-simulator tessaly-pump-simulator)
  file(READ "${STAGE}/opt/lab/bin/${program}" head LIMIT 4 HEX)
  execute_process(COMMAND test -x "${STAGE}/opt/lab/bin/${program}" RESULT_VARIABLE notExecutable)
  if(NOT head STREQUAL "7f454c46" OR notExecutable)
    message(FATAL_ERROR "${program} is not an executable program")
  endif()
endforeach()
file(REMOVE_RECURSE "${STAGE}")
