# Where the programs go when installed.
#
# Each program keeps everything it needs at run time in one program folder,
# as a portable copy does beside the program: on Linux that folder is
# <prefix>/lib/<program>, with the commands linked into <prefix>/bin and the
# desktop entry, icon and AppStream data under <prefix>/share. On Windows the
# program folder is bin itself.
include(GNUInstallDirs)

set(PROJECT_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/resources)
# The packages' maintainer (a placeholder address until the project has a domain).
set(PACKAGE_MAINTAINER "Lanyx and TavishFennic maintainers <lanyx@example.org>")

# program_install_dir(<var> <program>): the program folder, relative to the prefix.
function(program_install_dir var program)
  if(WIN32)
    set(${var} ${CMAKE_INSTALL_BINDIR} PARENT_SCOPE)
  else()
    set(${var} lib/${program} PARENT_SCOPE)
  endif()
endfunction()

# install_program_command(<component> <program> <command>...): puts each
# command of the program folder on the PATH as a relative symbolic link, so
# the installed tree works under any prefix and can be unpacked anywhere.
function(install_program_command component program)
  if(WIN32)
    return()
  endif()
  program_install_dir(dir ${program})
  foreach(command IN LISTS ARGN)
    file(RELATIVE_PATH target /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${dir}/${command})
    install(CODE "
      set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(MAKE_DIRECTORY \"\${bindir}\")
      message(STATUS \"Installing: \${bindir}/${command} -> ${target}\")
      file(CREATE_LINK \"${target}\" \"\${bindir}/${command}\" SYMBOLIC)
    " COMPONENT ${component})
  endforeach()
endfunction()

# install_desktop_files(<component> <name> <icon.svg>): the menu entry,
# the scalable icon and the AppStream data of a program.
function(install_desktop_files component name icon)
  if(WIN32)
    return()
  endif()
  set(desktop ${PROJECT_RESOURCES_DIR}/desktop)
  install(FILES ${desktop}/${name}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT ${component})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${name}.svg COMPONENT ${component})
  install(FILES ${desktop}/${name}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          COMPONENT ${component})
  install(FILES ${desktop}/${name}.copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${name}
          RENAME copyright COMPONENT ${component})
endfunction()

# install_man_pages(<component> <page>...): resources/man/<page>.in with the
# version filled in, compressed, into share/man/man1.
function(install_man_pages component)
  if(WIN32)
    return()
  endif()
  foreach(page IN LISTS ARGN)
    set(source ${PROJECT_RESOURCES_DIR}/man/${page}.in)
    set(out ${CMAKE_BINARY_DIR}/man/${page})
    configure_file(${source} ${out} @ONLY)
    file(ARCHIVE_CREATE OUTPUT ${out}.gz PATHS ${out} FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
    install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
    # The page names every option and command of the program's --help.
    get_filename_component(program ${page} NAME_WE)
    if(BUILD_TESTING AND NOT CMAKE_CROSSCOMPILING AND TARGET ${program})
      add_test(NAME ManPage.${program}
               COMMAND ${PROJECT_SOURCE_DIR}/tools/check-man-page.sh $<TARGET_FILE:${program}> ${source})
      # Skipped in a build folder that did not build the program (the sanitizers').
      set_tests_properties(ManPage.${program} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
  endforeach()
endfunction()

# install_changelog(<component> <package>): the package's changelog, as
# Debian keeps it, in share/doc/<package>.
function(install_changelog component package)
  if(WIN32)
    return()
  endif()
  set(PACKAGE ${package})
  set(MAINTAINER "${PACKAGE_MAINTAINER}")
  set(out ${CMAKE_BINARY_DIR}/doc/${package}/changelog)
  configure_file(${PROJECT_RESOURCES_DIR}/desktop/changelog.in ${out} @ONLY)
  file(ARCHIVE_CREATE OUTPUT ${out}.gz PATHS ${out} FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
  install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()
