# Desktop integration of a graphical program: its entry in the menus, its AppStream metainfo
# and its icon in the hicolor theme at every size a desktop asks for, all under one id.
#
# orvo_install_desktop_app(<id> COMPONENT <appstream-id> DESKTOP <file.desktop>
#                          METAINFO <file.metainfo.xml.in>)
#   <id> is the program, its desktop entry's name and the name the program gives
#   QGuiApplication::setDesktopFileName(); <appstream-id> is the reverse-DNS component id the
#   metainfo declares. The template may use @PROJECT_VERSION@ and @ORVO_RELEASE_DATE@.
#   Both go into the package orvo_install_program gave the program <id>.
# orvo_add_theme_icon(<id>)
#   <id> names a drawing of orvo-make-icons; the PNGs and the SVG are drawn at build time and go
#   into the package of the program <id>.

set(ORVO_ICON_SIZES 16 22 24 32 48 64 128 256)

function(orvo_install_desktop_app id)
  cmake_parse_arguments(D "" "COMPONENT;DESKTOP;METAINFO" "" ${ARGN})
  orvo_package_of(${id} package)
  install(FILES ${D_DESKTOP} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          RENAME ${id}.desktop COMPONENT ${package})
  set(metainfo ${CMAKE_CURRENT_BINARY_DIR}/${D_COMPONENT}.metainfo.xml)
  configure_file(${D_METAINFO} ${metainfo} @ONLY)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT ${package})
endfunction()

function(orvo_add_theme_icon id)
  orvo_package_of(${id} package)
  set(theme ${CMAKE_BINARY_DIR}/icons/hicolor)
  set(outputs ${theme}/scalable/apps/${id}.svg)
  set(size_args)
  foreach(size ${ORVO_ICON_SIZES})
    list(APPEND outputs ${theme}/${size}x${size}/apps/${id}.png)
    list(APPEND size_args --size ${size})
  endforeach()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E env ${ORVO_BUILD_TOOL_ENV} QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:orvo-make-icons> --theme ${theme} ${size_args} ${id}
    DEPENDS orvo-make-icons
    COMMENT "Drawing the theme icons of ${id}"
    VERBATIM)
  add_custom_target(${id}_icons ALL DEPENDS ${outputs})
  foreach(size ${ORVO_ICON_SIZES})
    install(FILES ${theme}/${size}x${size}/apps/${id}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            COMPONENT ${package})
  endforeach()
  install(FILES ${theme}/scalable/apps/${id}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT ${package})
endfunction()
