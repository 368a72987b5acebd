# The Debian packages, built by CPack from a release build:
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_TESTS=OFF
#   cmake --build build-release && (cd build-release && cpack -G DEB)
# One package per entry of ORVO_PACKAGES (cmake/OrvoInstall.cmake); orvo_install_program says
# which package carries a program.

set(ORVO_PACKAGE_NAME ${ORVO_PACKAGE_NAME_main})
set(ORVO_PACKAGE_MAINTAINER "Keldor <orvo@keldor.example>")

# Whether a target ends up with the static nanopb runtime, through any of its libraries.
function(_orvo_links_statically target library result)
  set(todo ${target})
  set(seen)
  set(found FALSE)
  while(todo AND NOT found)
    list(POP_FRONT todo current)
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(link STREQUAL library)
        set(found TRUE)
      elseif(TARGET ${link} AND NOT link IN_LIST seen AND NOT link IN_LIST todo)
        list(APPEND todo ${link})
      endif()
    endforeach()
  endwhile()
  set(${result} ${found} PARENT_SCOPE)
endfunction()

# What Debian puts in every package's documentation folder: the licence in machine-readable
# form and a changelog in Debian's format, which a native package (no Debian revision) calls
# changelog.gz.
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.Debian.in
               ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
find_program(ORVO_GZIP gzip)
if(NOT ORVO_GZIP)
  message(FATAL_ERROR "gzip not found (Debian package gzip)")
endif()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  COMMAND ${ORVO_GZIP} -9nc ${CMAKE_BINARY_DIR}/packaging/changelog.Debian
          > ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.Debian)
add_custom_target(orvo_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)

execute_process(
  COMMAND dpkg-query [=[--showformat=${source:Package} (= ${source:Version})]=] --show
          libnanopb-dev
  OUTPUT_VARIABLE ORVO_NANOPB_SOURCE RESULT_VARIABLE nanopb_query)
if(NOT nanopb_query EQUAL 0)
  message(FATAL_ERROR "libnanopb-dev is not installed as a Debian package")
endif()

set(CPACK_ORVO_BUILT_USING_PACKAGES)
foreach(package IN LISTS ORVO_PACKAGES)
  set(name ${ORVO_PACKAGE_NAME_${package}})
  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${name})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${docdir}
          COMPONENT ${package})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz DESTINATION ${docdir}
          RENAME changelog.gz COMPONENT ${package})
  string(TOUPPER ${package} PACKAGE)
  set(CPACK_DEBIAN_${PACKAGE}_PACKAGE_NAME ${name})
  get_property(programs GLOBAL PROPERTY ORVO_PROGRAMS_${package})
  foreach(program IN LISTS programs)
    _orvo_links_statically(${program} nanopb::protobuf-nanopb-static static)
    if(static AND NOT name IN_LIST CPACK_ORVO_BUILT_USING_PACKAGES)
      list(APPEND CPACK_ORVO_BUILT_USING_PACKAGES ${name})
    endif()
  endforeach()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${ORVO_PACKAGE_NAME} COMPONENT main)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/60-orvo-icp-view.conf
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${ORVO_PACKAGE_NAME}/examples COMPONENT main)
set(CPACK_ORVO_BUILT_USING ${ORVO_NANOPB_SOURCE})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/built-using.cmake)

set(CPACK_PACKAGE_NAME ${ORVO_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Keldor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ORVO_PACKAGE_MAINTAINER})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${ORVO_PACKAGES})
# The first line of each is the package's summary.
set(CPACK_DEBIAN_MAIN_DESCRIPTION
    "status viewer for vibration-monitoring installations\n\
Orvo_ICP View (orvo-icp-view) shows the live state of the measurement and\n\
relay modules of a modular vibration-monitoring installation, as the nodes\n\
report it in UDP datagrams: one panel per node with condition lamps, measured\n\
values and relay states. It only listens, and records every transition and a\n\
trend of every measured value into a journal (an SQLite file, or a PostgreSQL\n\
server for a whole plant).\n\
\n\
The package also holds orvo-module-view, a window on one module over Modbus\n\
TCP (identification, configuration, modes, waveforms and spectra);\n\
orvo-recorder, which records into the journal without a window (with a\n\
systemd unit, disabled); orvo-journal-tool, the journal from a terminal\n\
(events, alarms, acknowledgements, trends, checks); and orvo-journal-view, the\n\
alarm summary and event history in a window.")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
    "service console for Orvo vibration-monitoring modules\n\
orvo-module-tool talks to one measurement or relay module over Modbus TCP\n\
from a terminal or a script: identification, configuration transfer, modes,\n\
waveforms, spectra and live polling.")
set(CPACK_DEBIAN_SIMULATORS_DESCRIPTION
    "simulators of Orvo vibration-monitoring nodes and modules\n\
For commissioning and tests without hardware: orvo-node-sim sends status\n\
datagrams as the nodes of an installation would, orvo-module-sim serves the\n\
Modbus TCP register map of a module.\n\
\n\
A node simulator can send forged status datagrams that a viewer cannot tell\n\
from real ones: install this package on test machines, not on the operator\n\
PCs of a plant.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://keldor.example/orvo-icp-view")
# Library dependencies come from the binaries. The framework's Russian texts are read from the
# system's Qt translations folder at run time; without them the windows still work. The
# journal's database drivers are plugins Qt loads at run time too: SQLite always, PostgreSQL
# for a plant-wide journal.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_MAIN_PACKAGE_DEPENDS "libqt5sql5-sqlite")
set(CPACK_DEBIAN_MAIN_PACKAGE_RECOMMENDS "qttranslations5-l10n, libqt5sql5-psql")
# Up to this release the one package held the console and the simulators too.
foreach(PACKAGE TOOLS SIMULATORS)
  set(CPACK_DEBIAN_${PACKAGE}_PACKAGE_REPLACES "${ORVO_PACKAGE_NAME} (<< ${PROJECT_VERSION})")
  set(CPACK_DEBIAN_${PACKAGE}_PACKAGE_BREAKS "${ORVO_PACKAGE_NAME} (<< ${PROJECT_VERSION})")
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
