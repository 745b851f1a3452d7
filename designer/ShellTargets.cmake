# The shell's widgets and the program.
add_library(fennic_controls STATIC
  controls/ControlColors.h controls/ControlColors.cpp
  controls/FlatBitmapButton.h controls/FlatBitmapButton.cpp
  controls/HyperlinkStatic.h controls/HyperlinkStatic.cpp
  controls/CreditsStatic.h controls/CreditsStatic.cpp
  controls/DesignerBitmaps.h controls/DesignerBitmaps.cpp
  controls/WidgetPreview.h controls/WidgetPreview.cpp)
target_include_directories(fennic_controls PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(fennic_controls PUBLIC Qt6::Widgets Qt6::Svg)

add_library(fennic_ui STATIC
  app/FennicMessage.h app/FennicMessage.cpp
  app/ShellApp.h app/ShellApp.cpp
  app/WidgetUIDlg.h app/WidgetUIDlg.cpp
  dialogs/HelpDialog.h dialogs/HelpDialog.cpp
  dialogs/RenameDlg.h dialogs/RenameDlg.cpp
  dialogs/TemplateDlgs.h dialogs/TemplateDlgs.cpp
  dialogs/FolderDialog.h dialogs/FolderDialog.cpp
  dialogs/PublishDlgs.h dialogs/PublishDlgs.cpp
  dialogs/BrowserDlgs.h dialogs/BrowserDlgs.cpp
  dialogs/AboutDlg.h dialogs/AboutDlg.cpp)
target_link_libraries(fennic_ui PUBLIC fennic_core fennic_controls Qt6::Widgets)

add_executable(tavishfennic app/main.cpp)
target_link_libraries(tavishfennic PRIVATE fennic_ui)
set_target_properties(tavishfennic PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FENNIC_BIN_DIR})
# The program needs its server to be of any use.
add_dependencies(tavishfennic FennicButton fennic_server_files)

# The encoder's licence text, shown by its about box, where the system has it.
if(EXISTS /usr/share/common-licenses/LGPL-2)
  configure_file(/usr/share/common-licenses/LGPL-2 ${FENNIC_BIN_DIR}/LPGL.txt COPYONLY)
endif()

# Installed layout: program, help and licence in bin, the server's folder in
# lib/tavishfennic, and a class registry beside the program naming the
# installed plug-in.
include(GNUInstallDirs)
set(FENNIC_INSTALL_SERVER_DIR ${CMAKE_INSTALL_LIBDIR}/tavishfennic/PageletServer)
install(TARGETS tavishfennic RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS FennicButton LIBRARY DESTINATION ${FENNIC_INSTALL_SERVER_DIR})
install(DIRECTORY ${FENNIC_RESOURCES}/PageletServer/ DESTINATION ${FENNIC_INSTALL_SERVER_DIR})
install(DIRECTORY ${FENNIC_RESOURCES}/FennicHelp DESTINATION ${CMAKE_INSTALL_BINDIR})
if(EXISTS ${FENNIC_BIN_DIR}/LPGL.txt)
  install(FILES ${FENNIC_BIN_DIR}/LPGL.txt DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(server \"\${CMAKE_INSTALL_PREFIX}/${FENNIC_INSTALL_SERVER_DIR}/$<TARGET_FILE_NAME:FennicButton>\")
  file(WRITE \"\${prefix}/${CMAKE_INSTALL_BINDIR}/classes.reg\"
\"; TavishFennic class registry (installed)
[PageletServer.FennicButton]
@=\\\"Fennic Button\\\"
[PageletServer.FennicButton\\\\CLSID]
@=\\\"{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}\\\"
[CLSID\\\\{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}\\\\ProgID]
@=\\\"PageletServer.FennicButton\\\"
[CLSID\\\\{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}\\\\InprocServer32]
@=\\\"\${server}\\\"
\")
")
