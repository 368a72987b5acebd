# The program's own texts live in one .ts file per subsystem; lrelease merges them into a
# single catalogue, because the language switch loads exactly one file per base name.
#
# orvo_add_catalogue(<target> <qm-file-name> <ts files...>)
function(orvo_add_catalogue target qm)
  set(out ${ORVO_TRANSLATIONS_DIR}/${qm})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVO_TRANSLATIONS_DIR}
    COMMAND Qt5::lrelease -silent ${ARGN} -qm ${out}
    DEPENDS ${ARGN}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Compiling ${qm}")
  add_custom_target(${target} ALL DEPENDS ${out})
  install(FILES ${out} DESTINATION ${ORVO_INSTALL_TRANSLATIONS_DIR})
endfunction()

# orvo_use_installed_translations(<target>)
#   Gives <target> ORVO_INSTALLED_TRANSLATIONS: where the catalogues are installed, seen from
#   the installed program, so a package installed under any prefix finds them.
function(orvo_use_installed_translations target)
  file(RELATIVE_PATH from_bin ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
       ${CMAKE_INSTALL_PREFIX}/${ORVO_INSTALL_TRANSLATIONS_DIR})
  target_compile_definitions(${target} PRIVATE ORVO_INSTALLED_TRANSLATIONS="${from_bin}")
endfunction()
