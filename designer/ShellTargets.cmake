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
target_compile_definitions(tavishfennic PRIVATE TAVISHFENNIC_VERSION="${PROJECT_VERSION}")
set_target_properties(tavishfennic PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FENNIC_BIN_DIR})
# The program needs its server to be of any use.
add_dependencies(tavishfennic FennicButton fennic_server_files)

# The encoder's licence text, shown by its about box, where the system has it.
if(EXISTS /usr/share/common-licenses/LGPL-2)
  configure_file(/usr/share/common-licenses/LGPL-2 ${FENNIC_BIN_DIR}/LPGL.txt COPYONLY)
endif()

# Installed layout: one program folder holding the program, its class
# registry, help pages, licence text and the server's folder, as in the build
# tree; the command is linked into bin.
program_install_dir(FENNIC_INSTALL_DIR tavishfennic)
set(FENNIC_INSTALL_SERVER_DIR ${FENNIC_INSTALL_DIR}/PageletServer)
install(TARGETS tavishfennic RUNTIME DESTINATION ${FENNIC_INSTALL_DIR} COMPONENT tavishfennic)
install(TARGETS FennicButton LIBRARY DESTINATION ${FENNIC_INSTALL_SERVER_DIR} COMPONENT tavishfennic)
install(DIRECTORY ${FENNIC_RESOURCES}/PageletServer/ DESTINATION ${FENNIC_INSTALL_SERVER_DIR}
        COMPONENT tavishfennic)
install(DIRECTORY ${FENNIC_RESOURCES}/FennicHelp DESTINATION ${FENNIC_INSTALL_DIR} COMPONENT tavishfennic)
install(FILES ${FENNIC_BIN_DIR}/classes.reg DESTINATION ${FENNIC_INSTALL_DIR} COMPONENT tavishfennic)
if(EXISTS ${FENNIC_BIN_DIR}/LPGL.txt)
  install(FILES ${FENNIC_BIN_DIR}/LPGL.txt DESTINATION ${FENNIC_INSTALL_DIR} COMPONENT tavishfennic)
endif()
install_program_command(tavishfennic tavishfennic tavishfennic)
install_desktop_files(tavishfennic tavishfennic ${PROJECT_RESOURCES_DIR}/desktop/tavishfennic.svg)
install_man_pages(tavishfennic tavishfennic.1)
install_changelog(tavishfennic tavishfennic)
