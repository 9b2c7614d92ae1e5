# A text with a character that Windows-1252 cannot spell must not build:
# compiles a one-line use of the _cp1252 suffix with the build's compiler,
# once with "Ä" (must build) and once with "Ω" (must fail, naming the reason).
# Run as: cmake -DSOURCE_DIR=<root> -DWORK_DIR=<folder> -DCXX=<compiler> -P check_cp1252_rejects.cmake
file(MAKE_DIRECTORY "${WORK_DIR}")
foreach(text IN ITEMS "Ä" "Ω")
  set(source "${WORK_DIR}/cp1252_use.cpp")
  file(WRITE "${source}" "#include \"base/Cp1252.h\"\nconst char* Text = u8\"Ober${text}\"_cp1252;\n")
  execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only -I "${SOURCE_DIR}" "${source}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(text STREQUAL "Ä" AND NOT status EQUAL 0)
    message(FATAL_ERROR "u8\"Ober${text}\"_cp1252 does not build:\n${output}")
  elseif(text STREQUAL "Ω" AND status EQUAL 0)
    message(FATAL_ERROR "u8\"Ober${text}\"_cp1252 builds, but Windows-1252 has no ${text}")
  elseif(text STREQUAL "Ω" AND NOT output MATCHES "no Windows-1252 form")
    message(FATAL_ERROR "u8\"Ober${text}\"_cp1252 fails for another reason:\n${output}")
  endif()
endforeach()
message(STATUS "u8\"...\"_cp1252 builds for Ä and stops the build for Ω")
