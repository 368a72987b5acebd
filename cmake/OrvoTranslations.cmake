# The program's own texts live in one .ts file per subsystem; lrelease merges them into a
# single catalogue, because the language switch loads exactly one file per base name.
#
# orvo_add_catalogue(<target> <qm-file-name> [OUTPUT_DIR <dir>] <ts files...>)
#   Without OUTPUT_DIR a catalogue of the product: built into the programs' translations folder
#   and installed. With it a test's own catalogue: built into <dir>, not installed.
function(orvo_add_catalogue target qm)
  cmake_parse_arguments(arg "" "OUTPUT_DIR" "" ${ARGN})
  set(dir ${ORVO_TRANSLATIONS_DIR})
  if(arg_OUTPUT_DIR)
    set(dir ${arg_OUTPUT_DIR})
  endif()
  set(out ${dir}/${qm})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND Qt5::lrelease -silent ${arg_UNPARSED_ARGUMENTS} -qm ${out}
    DEPENDS ${arg_UNPARSED_ARGUMENTS}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Compiling ${qm}")
  add_custom_target(${target} ALL DEPENDS ${out})
  if(NOT arg_OUTPUT_DIR)
    install(FILES ${out} DESTINATION ${ORVO_INSTALL_TRANSLATIONS_DIR})
  endif()
endfunction()

# orvo_use_installed_translations(<target>)
#   Gives <target> ORVO_INSTALLED_TRANSLATIONS: where the catalogues are installed, seen from
#   the installed program, so a package installed under any prefix finds them.
function(orvo_use_installed_translations target)
  file(RELATIVE_PATH from_bin ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
       ${CMAKE_INSTALL_PREFIX}/${ORVO_INSTALL_TRANSLATIONS_DIR})
  target_compile_definitions(${target} PRIVATE ORVO_INSTALLED_TRANSLATIONS="${from_bin}")
endfunction()
