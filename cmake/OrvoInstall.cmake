# How a program of this project is installed: the executable in bin/ and a manual page in
# section 1, generated at build time from the program's own --help, so the page
# never drifts from the options. Graphical programs run on the offscreen platform for this.
#
# orvo_install_program(<target> SUMMARY <one line for the NAME section>)
function(orvo_install_program target)
  cmake_parse_arguments(P "" "SUMMARY" "" ${ARGN})
  if(NOT P_SUMMARY)
    message(FATAL_ERROR "orvo_install_program(${target}): SUMMARY is required")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  find_program(ORVO_HELP2MAN help2man)
  if(NOT ORVO_HELP2MAN)
    message(FATAL_ERROR "help2man not found (Debian package help2man)")
  endif()
  find_program(ORVO_GZIP gzip)
  if(NOT ORVO_GZIP)
    message(FATAL_ERROR "gzip not found (Debian package gzip)")
  endif()
  set(dir ${CMAKE_BINARY_DIR}/man)
  set(page ${dir}/${target}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E env ${ORVO_BUILD_TOOL_ENV} QT_QPA_PLATFORM=offscreen
            ${ORVO_HELP2MAN} --no-info --section=1 --name=${P_SUMMARY}
            --version-string=${PROJECT_VERSION} --output=${page}
            $<TARGET_FILE:${target}>
    # -n: no time stamp in the archive, so a rebuild gives the same bytes.
    COMMAND ${ORVO_GZIP} -9nf ${page}
    DEPENDS ${target}
    COMMENT "Manual page ${target}(1)"
    VERBATIM)
  add_custom_target(${target}_manpage ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
