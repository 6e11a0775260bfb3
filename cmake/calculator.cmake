# One calculator of VANTERO from its folder, in one call:
#
#   vantero_calculator(NAME
#     CORE <sources>            its calculation and description (no Qt): NAME_core
#     [CORE_LINKS <targets>]    what the core needs beyond the calculator machinery
#     WINDOW <sources>          its window classes (.cpp, .ui): NAME_window
#     CORE_TESTS <sources>      tests of the core: NAME_core_tests
#     WINDOW_TESTS <sources>)   tests of the window: NAME_window_tests
#
# Beside those, the folder holds main.cpp (the program NAME) and data/: the
# desktop entry NAME.desktop, the icon vantero-NAME.svg and the AppStream
# metainfo NAME.metainfo.xml.in. From them the call makes the program, its
# start-up test, its test on a real desktop, its manual page (made from the
# description by vantero_describe), its metainfo and PNG icons, and the rules
# that install them all. The calculator's name is listed once, in
# VANTERO_CALCULATORS in the top-level CMakeLists.txt; the registry, the
# command line and the tools read that list.
include(GNUInstallDirs)

# The metainfo id of a calculator is VANTERO_APPSTREAM_PREFIX.NAME, and its
# icon comes as PNG in every size a desktop asks for by name.
set(VANTERO_APPSTREAM_PREFIX org.vantero)
set(VANTERO_ICON_SIZES 48 64 128 256)
if(VANTERO_WITH_UI)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
endif()

# The program that writes the manual pages and the completion from the
# descriptions (packaging/), as the build machine runs it.
set(vantero_describe ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:vantero_describe>)

function(vantero_calculator name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" ""
    "CORE;CORE_LINKS;WINDOW;CORE_TESTS;WINDOW_TESTS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vantero_calculator(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)

  add_library(${name}_core STATIC ${arg_CORE})
  target_link_libraries(${name}_core PUBLIC vantero_calculator ${arg_CORE_LINKS})
  if(BUILD_TESTING)
    add_executable(${name}_core_tests ${arg_CORE_TESTS})
    target_link_libraries(${name}_core_tests PRIVATE
      ${name}_core vantero_testing GTest::gtest_main)
    gtest_discover_tests(${name}_core_tests PROPERTIES LABELS core)
  endif()

  if(NOT VANTERO_WITH_UI)
    return()
  endif()

  # The window classes, in a library that the program, its window tests
  # and the screenshot tool link; the window's icon is the one its desktop
  # entry names.
  find_package(Qt6 REQUIRED COMPONENTS Core)
  add_library(${name}_window STATIC ${arg_WINDOW})
  set_target_properties(${name}_window PROPERTIES AUTOMOC ON AUTOUIC ON)
  qt_add_resources(${name}_window ${name}_icon
    PREFIX /vantero/icons BASE data FILES data/vantero-${name}.svg)
  target_link_libraries(${name}_window PUBLIC ${name}_core vantero_ui)

  add_executable(${name} main.cpp)
  target_link_libraries(${name} PRIVATE ${name}_window)

  if(BUILD_TESTING)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    add_executable(${name}_window_tests ${arg_WINDOW_TESTS})
    target_link_libraries(${name}_window_tests PRIVATE
      ${name}_window vantero_ui_testing Qt6::Test)
    # The design report from the window is compared with the command line's.
    target_compile_definitions(${name}_window_tests PRIVATE
      VANTERO_PROGRAM="$<TARGET_FILE:vantero>")
    add_dependencies(${name}_window_tests vantero)
    gtest_discover_tests(${name}_window_tests
      PROPERTIES LABELS ui ENVIRONMENT QT_QPA_PLATFORM=offscreen)

    # It starts only with libpelkadi and its entry Newton, and then shows
    # the window its description names; run as a caller with
    # QT_QPA_PLATFORM=offscreen set would run it.
    add_test(NAME ${name}.startsOnlyWithNewton
      COMMAND ${PROJECT_SOURCE_DIR}/tools/startup_test.sh $<TARGET_FILE:${name}>
        $<TARGET_FILE:pelkadi> $<TARGET_FILE:pelkadi_stub> $<TARGET_FILE:vantero_describe>)
    set_tests_properties(${name}.startsOnlyWithNewton
      PROPERTIES LABELS ui ENVIRONMENT QT_QPA_PLATFORM=offscreen)

    # The real program as a person uses it: on an X server of its own with
    # a window manager, driven by real keys and read through the
    # accessibility tree.
    add_test(NAME ${name}.onTheDesktop
      COMMAND ${PROJECT_SOURCE_DIR}/tools/desktop_test.sh $<TARGET_FILE:${name}>
        $<TARGET_FILE:vantero> ${data}/${name}.desktop)
    set_tests_properties(${name}.onTheDesktop PROPERTIES LABELS ui TIMEOUT 120)
  endif()

  # Its manual page, made from the description; its AppStream metainfo,
  # whose launchable is the desktop entry vantero-NAME.desktop; its icon as
  # PNG.
  set(page ${PROJECT_BINARY_DIR}/packaging/man/${name}.1)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/man
    COMMAND ${vantero_describe} man ${name} ${PROJECT_VERSION} > ${page}
    DEPENDS vantero_describe
    COMMENT "Manual page ${name}(1)"
    VERBATIM)
  set(generated ${page})
  set_property(GLOBAL APPEND PROPERTY VANTERO_MAN_PAGES ${page})
  set(APPSTREAM_ID ${VANTERO_APPSTREAM_PREFIX}.${name})
  set(DESKTOP_ID vantero-${name}.desktop)
  set(metainfo ${PROJECT_BINARY_DIR}/packaging/metainfo/${APPSTREAM_ID}.metainfo.xml)
  configure_file(${data}/${name}.metainfo.xml.in ${metainfo} @ONLY)
  set_property(GLOBAL APPEND PROPERTY VANTERO_METAINFO ${metainfo})
  foreach(size IN LISTS VANTERO_ICON_SIZES)
    set(icons ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size})
    add_custom_command(OUTPUT ${icons}/vantero-${name}.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${icons}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size}
        --output ${icons}/vantero-${name}.png ${data}/vantero-${name}.svg
      DEPENDS ${data}/vantero-${name}.svg
      COMMENT "Icon vantero-${name} at ${size}x${size}"
      VERBATIM)
    list(APPEND generated ${icons}/vantero-${name}.png)
    install(FILES ${icons}/vantero-${name}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()

  # The programs find libpelkadi relative to their own folder, so an
  # installed tree works wherever it is unpacked; a distribution's package,
  # whose libraries are where the loader looks, sets
  # CMAKE_SKIP_INSTALL_RPATH.
  set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${data}/${name}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME vantero-${name}.desktop)
  install(FILES ${data}/vantero-${name}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  add_custom_target(${name}_data ALL DEPENDS ${generated})
endfunction()
