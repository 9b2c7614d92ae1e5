# Reads the #include lines of the product and fails when a file includes a
# header from a layer above its own, or a subsystem includes another
# subsystem. Run as: cmake -DSOURCE_DIR=<root> -P check_layers.cmake
#
# Layers, lowest first; a folder may include its own files and those of the
# layers below it. The subsystems share one layer and never include each
# other. res/ holds the resource ids, which only the program itself uses.
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...)
set(LAYER_base 0)
set(LAYER_platform 1)
set(LAYER_ui 2)
set(SUBSYSTEMS clean browser tray splash xpstyle)
foreach(subsystem IN LISTS SUBSYSTEMS)
  set(LAYER_${subsystem} 3)
endforeach()
set(LAYER_app 5)
set(LAYER_res 4)
set(PRODUCT_FOLDERS base platform ui ${SUBSYSTEMS} app)

# Inside a folder listed here, its files go in levels too, lowest first
# (stems separated by blanks share a level): a file includes headers of its
# folder from its own level and below. xpstyle/: the colour and metrics
# values, the primitives, the shared caption and glyph drawing, the control
# painters, the control hooks, the style with its menu and bar drawing.
# ui/: the classes, the error report and the DPI rules; the canvas and the
# window link; controls, image lists and hidden windows; menus; forms with
# the application; the control kinds and the dialogs.
set(FILE_LEVELS_ui "Classes MenuKeys Responsive TaskWindows ErrorReport DisplayScale"
  "Graphics WindowLink ProgramIcon" "Controls ImgList UtilWindow" "Menus" "Forms" "StdCtrls"
  "Buttons ComCtrls ExtCtrls Mask Dialogs")
set(FILE_LEVELS_xpstyle "Colors Metrics" "Primitives" "ItemDraw" "Painters ControlPainters" "ControlSubClass"
  "XPStyle MenuDraw MenuItems BarPainters")

# The level of the file stem in the folder, or -1 when the folder has none.
function(file_level folder stem result)
  set(level -1)
  if(DEFINED FILE_LEVELS_${folder})
    set(index 0)
    foreach(group IN LISTS FILE_LEVELS_${folder})
      string(REPLACE " " ";" stems "${group}")
      if(stem IN_LIST stems)
        set(level ${index})
      endif()
      math(EXPR index "${index} + 1")
    endforeach()
  endif()
  set(${result} ${level} PARENT_SCOPE)
endfunction()

set(violations "")
foreach(folder IN LISTS PRODUCT_FOLDERS)
  file(GLOB sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  if(NOT sources)
    list(APPEND violations "${folder}/: no sources found")
  endif()
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
      if(NOT header MATCHES "^([a-z]+)/")
        continue()
      endif()
      set(target "${CMAKE_MATCH_1}")
      if(NOT DEFINED LAYER_${target})
        list(APPEND violations "${name}: includes ${header}, which is not part of the product")
      elseif(target STREQUAL folder)
        get_filename_component(own_stem "${source}" NAME_WE)
        get_filename_component(included_stem "${header}" NAME_WE)
        file_level(${folder} ${own_stem} own_level)
        file_level(${folder} ${included_stem} included_level)
        if(DEFINED FILE_LEVELS_${folder} AND (own_level LESS 0 OR included_level LESS 0))
          list(APPEND violations "${name}: ${folder}/ lists its files in levels, and this one or ${header} is missing")
        elseif(included_level GREATER own_level)
          list(APPEND violations "${name}: includes ${header} from a level above its own in ${folder}/")
        endif()
        continue()
      elseif(LAYER_${target} GREATER_EQUAL LAYER_${folder})
        if(LAYER_${target} EQUAL 3 AND LAYER_${folder} EQUAL 3)
          list(APPEND violations "${name}: the subsystem ${folder}/ includes ${header} of the subsystem ${target}/")
        else()
          list(APPEND violations "${name}: includes ${header} from a layer above its own")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that break the one-way layers:\n  ${text}")
endif()
message(STATUS "Every product include follows the layers")
