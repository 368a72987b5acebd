# A release build takes Debian's compiler and linker flags, as a package built by Debian's own
# tools would: fortified functions, stack protector, read-only relocations resolved at start.
# Other build types keep their own, so the sanitizer and test builds stay as they are.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  find_program(ORVO_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT ORVO_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "dpkg-buildflags not found (Debian package dpkg-dev)")
  endif()
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    # From the source folder, so the file-prefix map it gives strips the builder's paths.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${ORVO_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE ORVO_DEB_${kind}
      OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_C_FLAGS " ${ORVO_DEB_CPPFLAGS} ${ORVO_DEB_CFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${ORVO_DEB_CPPFLAGS} ${ORVO_DEB_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${ORVO_DEB_LDFLAGS}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${ORVO_DEB_LDFLAGS}")
endif()
