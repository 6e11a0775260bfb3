# Installing VANTERO like any program of a Linux distribution (GNUInstallDirs:
# the libraries in the multiarch folder under /usr): the programs in bin/, the
# two entry libraries with their sonames, and for development a C header, the
# unversioned link and a pkg-config file for each; for each calculator a
# desktop entry, an icon (SVG and PNGs), AppStream metainfo and a manual page
# (from its own folder NAME/data and its description), and vantero's manual
# page and bash completion. The Debian packages (debian/, tools/package.sh)
# split this tree among them.
include(GNUInstallDirs)

if(TARGET vantero)
  # The programs find libpelkadi relative to their own folder, so an
  # installed tree works wherever it is unpacked; a distribution's package,
  # whose libraries are where the loader looks, sets
  # CMAKE_SKIP_INSTALL_RPATH. (Each calculator's program installs with it:
  # cmake/calculator.cmake.)
  set_target_properties(vantero PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS vantero RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(TARGETS pelkadi sorvik3
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES pelkadi/newton.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pelkadi)
install(FILES sorvik3/sorvik3.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sorvik3)

# pkg-config files: `pkg-config --cflags --libs pelkadi`.
set(VANTERO_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
set(VANTERO_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
foreach(library IN ITEMS
    "pelkadi|Rise-time distance of multimode fibre links: the entry Newton"
    "sorvik3|Newton-Raphson solver of a logarithmic loss equation: the entry Sorvik3")
  string(REPLACE "|" ";" library "${library}")
  list(GET library 0 VANTERO_PC_NAME)
  list(GET library 1 VANTERO_PC_DESCRIPTION)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/library.pc.in
    ${PROJECT_BINARY_DIR}/pkgconfig/${VANTERO_PC_NAME}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${VANTERO_PC_NAME}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(VANTERO_ENTRIES_ONLY)
  return()
endif()

# The catalogue of standard parts that vantero --use reads.
install(FILES ${VANTERO_SHIPPED_CATALOGUE} DESTINATION ${CMAKE_INSTALL_DATADIR}/vantero/catalogue)
install(FILES ${PROJECT_BINARY_DIR}/packaging/man/vantero.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VANTERO_BASH_COMPLETION}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
