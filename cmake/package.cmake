# Installation and packages. `cmake --install` puts the programs in bin, the demo's two
# builds behind launchers (the real programs in libexec/emberhall), the default data set in
# share/emberhall, a desktop entry with its icon and AppStream metadata, a manual page for
# each program, and the copyright file and changelog; `cmake --build build --target
# package` makes a .deb and a .tar.gz of that in build/packages. Every path inside is
# relative, so the tree works under any prefix.
include(GNUInstallDirs)

# Who answers for the package: the .deb's maintainer, the copyright file's contact, the
# changelog's signature and the AppStream metadata's update contact.
set(EMBERHALL_CONTACT_ADDRESS emberhall@example.org)
set(EMBERHALL_CONTACT "The emberhall project <${EMBERHALL_CONTACT_ADDRESS}>")

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
# Software centres list the desktop entry from its AppStream metadata, named by its id.
configure_file(${CMAKE_SOURCE_DIR}/cmake/emberhall.metainfo.xml
  ${CMAKE_BINARY_DIR}/org.example.emberhall.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/org.example.emberhall.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages (docs/man, one per installed program, section 1) and the changelog,
# gzipped as Debian installs them: at the highest compression, without a time stamp.
set(EMBERHALL_MANUAL_PAGES
  emberhall
  emberhall-windowed
  emberhall-capture
  emberhall-studio
  emberhall-assets
  emberhall-inspect
)
set(gzipped)
function(emberhall_gzip source name)
  configure_file(${source} ${CMAKE_BINARY_DIR}/docs/${name} @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/docs/${name}.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/docs/${name}
    DEPENDS ${CMAKE_BINARY_DIR}/docs/${name}
    VERBATIM)
  set(gzipped ${gzipped} ${CMAKE_BINARY_DIR}/docs/${name}.gz PARENT_SCOPE)
endfunction()
foreach(program ${EMBERHALL_MANUAL_PAGES})
  emberhall_gzip(${CMAKE_SOURCE_DIR}/docs/man/${program}.1 ${program}.1)
  install(FILES ${CMAKE_BINARY_DIR}/docs/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# A native package's changelog is changelog.gz (there is no separate Debian one).
emberhall_gzip(${CMAKE_SOURCE_DIR}/cmake/changelog changelog)
add_custom_target(package_documents ALL DEPENDS ${gzipped})
configure_file(${CMAKE_SOURCE_DIR}/cmake/copyright ${CMAKE_BINARY_DIR}/docs/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/docs/copyright ${CMAKE_BINARY_DIR}/docs/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME emberhall)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The emberhall project")
set(CPACK_PACKAGE_CONTACT ${EMBERHALL_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Brindlequay, a real-time audio-visual demo")
# The .deb's long description, in lines of at most 80 characters as Debian wants them.
set(CPACK_PACKAGE_DESCRIPTION "\
A 200-second sequence of 3D scenes, full-screen distortion effects and captions
played to its own sound track, in a window or full screen, with its default
data set, a capture tool (video, stills, traces), a studio to pause, seek and
loop the demo while its data is edited, the asset generator and a data-file
inspector. No GPU is needed: Mesa's software OpenGL is enough.")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Section video, as the desktop entry's categories (AudioVideo, Video): the demo is watched,
# not played (a key only ends it), and the package is mostly a video maker's tools; games
# would also want the demo's launchers in /usr/games apart from the other programs.
set(CPACK_DEBIAN_PACKAGE_SECTION video)
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
