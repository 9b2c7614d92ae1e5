# Compiles every product source with clang++ for the same MinGW target as the
# real build (syntax and warnings only, -Wall -Wextra -Werror), with the
# defines and include folders the build gives that file, the MinGW-w64
# headers and the cross GCC's libstdc++. Fails on any error or warning, and
# when a product source is missing from the build.
# Run as: cmake -DSOURCE_DIR=<root> -DBINARY_DIR=<build> -DCLANG=<clang++>
#               -DGCC=<cross g++> -P check_clang.cmake
set(PRODUCT_FOLDERS base platform ui clean browser tray splash xpstyle app)

if(NOT CLANG)
  message(FATAL_ERROR "clang++ not found (Debian package clang; scripts/env.sh installs it)")
endif()

# The cross GCC's search list, in its order: its libstdc++ folders, its own
# headers (stddef.h, the intrinsics), replaced by clang's, and the MinGW-w64
# headers.
execute_process(COMMAND ${GCC} -E -x c++ - -v INPUT_FILE /dev/null
  OUTPUT_QUIET ERROR_VARIABLE search RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GCC} does not run:\n${search}")
endif()
string(REGEX REPLACE ".*#include <...> search starts here:\n(.*)End of search list.*" "\\1" search "${search}")
string(REGEX REPLACE "\n" ";" search "${search}")
set(system_includes "")
execute_process(COMMAND ${CLANG} -print-resource-dir OUTPUT_VARIABLE resource OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(line IN LISTS search)
  string(STRIP "${line}" folder)
  get_filename_component(folder "${folder}" REALPATH)
  if(folder MATCHES "/include/c\\+\\+" OR folder MATCHES "x86_64-w64-mingw32/include$")
    list(APPEND system_includes -isystem "${folder}")
  elseif(folder MATCHES "/gcc/x86_64-w64-mingw32/[^/]+/include$")
    list(APPEND system_includes -isystem "${resource}/include")
  endif()
endforeach()

# Each file's own defines and include folders, from the build's compile commands.
file(READ "${BINARY_DIR}/compile_commands.json" commands)
string(JSON count LENGTH "${commands}")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON file GET "${commands}" ${i} file)
  string(JSON command GET "${commands}" ${i} command)
  get_filename_component(file "${file}" REALPATH)
  set("COMMAND_${file}" "${command}")
endforeach()

set(failures "")
set(checked 0)
foreach(folder IN LISTS PRODUCT_FOLDERS)
  file(GLOB sources "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    get_filename_component(source "${source}" REALPATH)
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
    if(NOT DEFINED "COMMAND_${source}")
      string(APPEND failures "${name}: not compiled by the build\n")
      continue()
    endif()
    separate_arguments(words UNIX_COMMAND "${COMMAND_${source}}")
    set(flags "")
    set(take_next FALSE)
    foreach(word IN LISTS words)
      if(take_next)
        list(APPEND flags "${word}")
        set(take_next FALSE)
      elseif(word MATCHES "^-[DI].")
        list(APPEND flags "${word}")
      elseif(word STREQUAL "-isystem")
        list(APPEND flags "${word}")
        set(take_next TRUE)
      endif()
    endforeach()
    execute_process(
      COMMAND ${CLANG} --target=x86_64-w64-mingw32 -std=c++20 -fsyntax-only -Wall -Wextra -Werror
              -nostdinc -nostdinc++ ${system_includes} ${flags} "${source}"
      RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    math(EXPR checked "${checked} + 1")
    if(NOT status EQUAL 0)
      string(APPEND failures "${name}:\n${output}\n")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "clang++ rejects product files:\n${failures}")
endif()
if(checked EQUAL 0)
  message(FATAL_ERROR "no product sources found below ${SOURCE_DIR}")
endif()
message(STATUS "clang++ accepts all ${checked} product sources with -Wall -Wextra -Werror")
