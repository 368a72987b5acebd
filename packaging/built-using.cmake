# Run by CPack after the packages are made (CPACK_POST_BUILD_SCRIPTS): CPack cannot write a
# Built-Using field, so each package whose programs link a library statically is unpacked,
# given the field before its description, and packed again. The contents stay as CPack made
# them, checksums included.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(file ${deb} NAME)
  get_filename_component(dir ${deb} DIRECTORY)
  string(REGEX REPLACE "_.*" "" package "${file}")
  if(NOT package IN_LIST CPACK_ORVO_BUILT_USING_PACKAGES)
    continue()
  endif()
  set(tree ${dir}/_built-using/${package})
  file(REMOVE_RECURSE ${tree})
  file(MAKE_DIRECTORY ${dir}/_built-using)
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${tree}/DEBIAN/control control)
  string(REPLACE "\nDescription:" "\nBuilt-Using: ${CPACK_ORVO_BUILT_USING}\nDescription:"
                 control "${control}")
  file(WRITE ${tree}/DEBIAN/control "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${dir}/_built-using)
endforeach()
