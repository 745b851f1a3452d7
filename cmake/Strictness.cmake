# Compiler warnings and Qt's strictness macros.
#
# Every target is built with the compilers' main warnings on; CI adds
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON so that no warning gets in.
if(MSVC)
  add_compile_options(/W4 /utf-8)
else()
  add_compile_options(-Wall -Wextra -Wpedantic)
endif()

# qt_strict(<target>...): no implicit conversion between 8-bit strings and
# QString, so every such conversion names its encoding (Latin-1 for the
# Windows-1252 files, UTF-8 for the system's), and no Qt keywords (emit,
# signals, slots) that clash with other libraries.
function(qt_strict)
  foreach(target IN LISTS ARGN)
    target_compile_definitions(${target} PRIVATE
      QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
      QT_NO_URL_CAST_FROM_STRING)
  endforeach()
endfunction()
