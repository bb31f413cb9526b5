# Installation and packages. `cmake --install` puts the programs in bin, the demo's two
# builds behind launchers (the real programs in libexec/emberhall), the default data set in
# share/emberhall, a desktop entry and an icon; `cmake --build build --target package`
# makes a .deb and a .tar.gz of that in build/packages. Every path inside is relative, so
# the tree works under any prefix.
include(GNUInstallDirs)

set(EMBERHALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/emberhall)
set(EMBERHALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/emberhall)

install(TARGETS emberhall emberhall-windowed DESTINATION ${EMBERHALL_PROGRAM_DIR})
install(TARGETS emberhall-capture emberhall-studio emberhall-inspect emberhall-assets
  DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/Data DESTINATION ${EMBERHALL_DATA_DIR})

# The demo reads Data from its current directory: a launcher changes into the data's folder.
file(RELATIVE_PATH bin_to_data /${CMAKE_INSTALL_BINDIR} /${EMBERHALL_DATA_DIR})
file(RELATIVE_PATH bin_to_programs /${CMAKE_INSTALL_BINDIR} /${EMBERHALL_PROGRAM_DIR})
foreach(program emberhall emberhall-windowed)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/launcher.sh.in ${CMAKE_BINARY_DIR}/launchers/${program}
    @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launchers/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# The desktop's application menu: the windowed build, with an icon our asset tool paints.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/emberhall.png
  COMMAND emberhall-assets icon ${CMAKE_BINARY_DIR}/emberhall.png
  DEPENDS emberhall-assets
  COMMENT "Painting the application icon")
add_custom_target(application_icon ALL DEPENDS ${CMAKE_BINARY_DIR}/emberhall.png)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/emberhall.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/emberhall.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

set(CPACK_PACKAGE_NAME emberhall)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_VENDOR "The emberhall project")
set(CPACK_PACKAGE_CONTACT "The emberhall project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Brindlequay, a real-time audio-visual demo")
set(CPACK_PACKAGE_DESCRIPTION
  "A 200-second sequence of 3D scenes, full-screen distortion effects and captions played \
to its own sound track, with its default data set, a capture tool (video, stills, traces), \
the asset generator and a data-file inspector.")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL and libepoxy open the GL libraries at run time, so the linker does not see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
# Mesa's drivers for machines without a vendor driver; the message box's core X fonts;
# ffmpeg for the capture tool's videos; the fonts the asset generator letters captions with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, xfonts-base, ffmpeg, fonts-dejavu-core")
include(CPack)

if(BUILD_TESTING)
  # Builds the .deb, unpacks it as dpkg installs it and plays the installed demo.
  add_test(NAME package.InstallsAndPlaysFromAFolderWithoutData
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/test-package.sh ${CMAKE_BINARY_DIR})
endif()
