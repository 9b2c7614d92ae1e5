# Copies the sources to BINARY_DIR/reproducible/src, configures and builds
# the program afresh in BINARY_DIR/reproducible/build, and compares its
# spurwisch.exe with EXPECTED byte for byte. Both the source and the build
# folder differ from the tree's own, so a recorded path or a time stamp shows.
# Run as: cmake -DSOURCE_DIR=<root> -DBINARY_DIR=<build> -DTOOLCHAIN=<file>
#               -DGENERATOR=<name> -DEXPECTED=<spurwisch.exe> -P check_reproducible.cmake
set(work "${BINARY_DIR}/reproducible")
set(copy "${work}/src")
set(build "${work}/build")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${copy}")

# Everything of the source tree but build trees and the repository itself.
file(GLOB entries LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^(build.*|\\.git)$")
    file(COPY "${SOURCE_DIR}/${entry}" DESTINATION "${copy}")
  endif()
endforeach()
file(RELATIVE_PATH toolchain "${SOURCE_DIR}" "${TOOLCHAIN}")

execute_process(
  COMMAND ${CMAKE_COMMAND} -S "${copy}" -B "${build}" -G "${GENERATOR}" "-DCMAKE_TOOLCHAIN_FILE=${copy}/${toolchain}"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the second build does not configure:\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${build}" --target spurwisch -j2
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the second build fails:\n${output}")
endif()

file(SHA256 "${EXPECTED}" first)
file(SHA256 "${build}/spurwisch.exe" second)
if(NOT first STREQUAL second)
  # The first differing bytes tell what differs; cmp counts from 1, so 137
  # is the PE header's time stamp and 217 its checksum.
  execute_process(COMMAND cmp -l "${EXPECTED}" "${build}/spurwisch.exe" OUTPUT_VARIABLE bytes ERROR_VARIABLE bytes)
  string(SUBSTRING "${bytes}" 0 400 bytes)
  message(FATAL_ERROR "two builds differ:\n  ${EXPECTED}\n    ${first}\n  ${build}/spurwisch.exe\n"
                      "    ${second}\nfirst differing bytes (position from 1, octal values):\n${bytes}")
endif()
file(REMOVE_RECURSE "${work}")
message(STATUS "two builds in different folders give the same spurwisch.exe, SHA-256 ${first}")
