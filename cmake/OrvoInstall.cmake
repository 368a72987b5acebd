# How a program of this project is installed: the executable in bin/ and a manual page in
# section 1, generated at build time from the program's own --help, so the page
# never drifts from the options. Graphical programs run on the offscreen platform for this.
#
# orvo_install_program(<target> PACKAGE <package> SUMMARY <one line for the NAME section>)
#   <package> is the one place that says which Debian package carries the program, its manual
#   page, desktop entry and icons: one of ORVO_PACKAGES below. What --help cannot say (what a
#   window shows, FILES, EXIT STATUS, SEE ALSO) comes from packaging/man/<target>.h2m, in
#   help2man's include format, when that file exists. Other files of a package are installed with COMPONENT <package>; what names none lands in
#   the main package.

# The packages an administrator chooses from: the operator's programs, the service console,
# and the simulators no operator PC needs (a node simulator can forge status datagrams on a
# plant network).
set(ORVO_PACKAGES main tools simulators)
set(ORVO_PACKAGE_NAME_main orvo-icp-view)
set(ORVO_PACKAGE_NAME_tools orvo-icp-view-tools)
set(ORVO_PACKAGE_NAME_simulators orvo-icp-view-simulators)
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME main)

function(orvo_install_program target)
  cmake_parse_arguments(P "" "PACKAGE;SUMMARY" "" ${ARGN})
  if(NOT P_SUMMARY)
    message(FATAL_ERROR "orvo_install_program(${target}): SUMMARY is required")
  endif()
  if(NOT P_PACKAGE IN_LIST ORVO_PACKAGES)
    message(FATAL_ERROR
            "orvo_install_program(${target}): PACKAGE must be one of ${ORVO_PACKAGES}")
  endif()
  set_property(GLOBAL PROPERTY ORVO_PACKAGE_OF_${target} ${P_PACKAGE})
  set_property(GLOBAL APPEND PROPERTY ORVO_PROGRAMS_${P_PACKAGE} ${target})
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${P_PACKAGE})

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
  set(include_args)
  set(include_deps)
  set(include ${PROJECT_SOURCE_DIR}/packaging/man/${target}.h2m)
  if(EXISTS ${include})
    set(include_args --include=${include})
    set(include_deps ${include})
  endif()
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E env ${ORVO_BUILD_TOOL_ENV} QT_QPA_PLATFORM=offscreen
            ${ORVO_HELP2MAN} --no-info --section=1 --name=${P_SUMMARY}
            --version-string=${PROJECT_VERSION} ${include_args} --output=${page}
            $<TARGET_FILE:${target}>
    # -n: no time stamp in the archive, so a rebuild gives the same bytes.
    COMMAND ${ORVO_GZIP} -9nf ${page}
    DEPENDS ${target} ${include_deps}
    COMMENT "Manual page ${target}(1)"
    VERBATIM)
  add_custom_target(${target}_manpage ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${P_PACKAGE})
endfunction()

# orvo_package_of(<target> <variable>): the package orvo_install_program gave the program.
function(orvo_package_of target variable)
  get_property(package GLOBAL PROPERTY ORVO_PACKAGE_OF_${target})
  if(NOT package)
    message(FATAL_ERROR "${target}: install the program with orvo_install_program() first")
  endif()
  set(${variable} ${package} PARENT_SCOPE)
endfunction()
