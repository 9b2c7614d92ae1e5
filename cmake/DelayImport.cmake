# Imports a system DLL with delayed loading: dlltool builds an import library
# from DEF_FILE (LIBRARY name and the functions used) whose first call of any
# of them loads the DLL. The delay-load hook of platform/SystemDlls.cpp loads
# it from the system folder only. A function missing from DEF_FILE fails the link.
function(spw_delay_import target def_file)
  get_filename_component(name ${def_file} NAME_WE)
  set(library ${CMAKE_CURRENT_BINARY_DIR}/lib${name}_delay.a)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_DLLTOOL} -d ${def_file} -y ${library}
    DEPENDS ${def_file})
  add_custom_target(${target}_${name}_delay DEPENDS ${library})
  add_dependencies(${target} ${target}_${name}_delay)
  target_link_libraries(${target} PUBLIC ${library})
endfunction()
