# Installing VANTERO like any desktop program: the programs in bin/, the two
# entry libraries (with their sonames) in the library folder, a C header for
# each entry, a desktop entry and an icon for each calculator (from its own
# folder NAME/data); and a Debian package of all that (cpack --preset deb).
include(GNUInstallDirs)

set(vantero_programs ${VANTERO_CALCULATORS} vantero)
foreach(program IN LISTS vantero_programs)
  if(TARGET ${program})
    # The programs find libpelkadi relative to their own folder, so an
    # installed tree works wherever it is unpacked.
    set_target_properties(${program} PROPERTIES
      INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(TARGETS pelkadi sorvik3
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES pelkadi/newton.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pelkadi)
install(FILES sorvik3/sorvik3.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sorvik3)

foreach(calculator IN LISTS VANTERO_CALCULATORS)
  if(TARGET ${calculator})
    install(FILES ${calculator}/data/${calculator}.desktop
      DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
      RENAME vantero-${calculator}.desktop)
    install(FILES ${calculator}/data/vantero-${calculator}.svg
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
endforeach()

set(CPACK_PACKAGE_NAME vantero)
set(CPACK_PACKAGE_VENDOR "VANTERO")
set(CPACK_PACKAGE_CONTACT "VANTERO <vantero@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Calculators for the design of digital optical-fibre links")
set(CPACK_PACKAGE_DESCRIPTION
  "Point-to-point (tavo), passive star (estrela) and ring (anel) calculators: the distance the power budget and the rise-time budget of a link allow, and which of the two limits it. The command line program vantero runs the same calculations, with sweeps and plots.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The run-time dependencies (Debian's Qt 6 libraries and the C++ run time)
# come from the programs' own needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link shows: Qt's platform plugins, and the font the
# windows are laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-extra")
# Qt's SVG plugins, which draw the windows' icons and the buttons' pictures,
# and Qt's own texts in Portuguese (Brazil), which the programs load at start.
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libqt6svg6, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  "$<TARGET_FILE_DIR:pelkadi>;$<TARGET_FILE_DIR:sorvik3>")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
