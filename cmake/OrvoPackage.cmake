# The Debian package, built by CPack from a release build:
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_TESTS=OFF
#   cmake --build build-release && (cd build-release && cpack -G DEB)

set(ORVO_PACKAGE_NAME orvo-icp-view)
set(ORVO_PACKAGE_MAINTAINER "Keldor <orvo@keldor.example>")

# What Debian puts in every package's documentation folder: the licence in machine-readable
# form and a changelog in Debian's format, which a native package (no Debian revision) calls
# changelog.gz.
set(_orvo_docdir ${CMAKE_INSTALL_DATADIR}/doc/${ORVO_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${_orvo_docdir})
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
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz DESTINATION ${_orvo_docdir}
        RENAME changelog.gz)

set(CPACK_PACKAGE_NAME ${ORVO_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Keldor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ORVO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "status viewer for vibration-monitoring installations")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvo_ICP View shows the live state of the measurement and relay modules of a\n\
modular vibration-monitoring installation, as the nodes report it in UDP\n\
datagrams: one panel per node with condition lamps, measured values and relay\n\
states.\n\
\n\
The package also holds orvo-module-tool, a console for one module over Modbus\n\
TCP (identification, configuration transfer, modes, waveforms, spectra, live\n\
polling), and two simulators for commissioning without hardware: orvo-node-sim\n\
sends status datagrams, orvo-module-sim serves a module's register map.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://keldor.example/orvo-icp-view")
# Library dependencies come from the binaries; the framework's Russian texts are read from the
# system's Qt translations folder at run time, and the journal's database drivers are plugins
# that Qt loads at run time too (SQLite always, PostgreSQL for a plant-wide journal).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qttranslations5-l10n, libqt5sql5-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt5sql5-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
