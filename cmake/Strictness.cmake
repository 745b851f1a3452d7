# Compiler warnings and Qt's strictness macros, in one interface target that
# every target of ours links (project_link_strictness below does the linking,
# so that a new target cannot be left out); CI adds
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON so that no warning gets in. Code that is
# not ours (GoogleTest's sources in a cross build) does not get it.
#
# The Qt macros: no implicit conversion between 8-bit strings and QString, so
# every such conversion names its encoding (Latin-1 for the Windows-1252
# files, UTF-8 for the system's), and no Qt keywords (emit, signals, slots)
# that clash with other libraries. Code without Qt does not see them.
add_library(project_strictness INTERFACE)
add_library(project::strictness ALIAS project_strictness)
if(MSVC)
  # /W4 includes the shadowing warnings (C4456 to C4459).
  target_compile_options(project_strictness INTERFACE /W4 /utf-8)
else()
  # A local that hides a member or another local, and a class with virtual
  # functions whose destructor is not, are how slips of this code base look.
  target_compile_options(project_strictness INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
endif()
# Test programs (PROJECT_TEST_CODE, which project_add_test sets) may still
# write their literals as plain strings: what they check is the programs'.
set(qt_casts QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
target_compile_definitions(project_strictness INTERFACE
  QT_NO_KEYWORDS "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:PROJECT_TEST_CODE>>>:${qt_casts}>")

# project_link_strictness(<folder>): links project::strictness into every
# target defined in the folder and the folders below it.
function(project_link_strictness dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
      continue()
    endif()
    target_link_libraries(${target} PRIVATE project::strictness)
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    if(subdir MATCHES "^${PROJECT_SOURCE_DIR}/")
      project_link_strictness(${subdir})
    endif()
  endforeach()
endfunction()
