# libFuzzer builds (clang only), each in a build folder of its own; see
# tools/fuzz.sh. Such a folder is for fuzzing alone, so the libraries under
# test are instrumented for coverage and built with the sanitizers in place.

# fuzz_require_clang(<option>): stops the configuration when the compiler is not clang.
function(fuzz_require_clang option)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "${option} needs clang (CXX=clang++), not ${CMAKE_CXX_COMPILER_ID}")
  endif()
endfunction()

set(FUZZ_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# fuzz_instrument(<library>): coverage and sanitizers for a library under test.
function(fuzz_instrument lib)
  target_compile_options(${lib} PUBLIC ${FUZZ_SANITIZER_FLAGS} PRIVATE -fsanitize=fuzzer-no-link)
  target_link_options(${lib} PUBLIC ${FUZZ_SANITIZER_FLAGS})
endfunction()

# add_fuzz_target(<name> <library>): fuzz_<name> from fuzz_<name>.cpp.
function(add_fuzz_target name lib)
  add_executable(fuzz_${name} fuzz_${name}.cpp)
  target_link_libraries(fuzz_${name} PRIVATE ${lib})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
endfunction()
