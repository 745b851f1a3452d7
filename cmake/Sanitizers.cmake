# Builds under the compiler's sanitizers, each in a build folder of its own:
#   cmake -S . -B build-asan -G Ninja -DSANITIZE=address,undefined
#   cmake -S . -B build-tsan -G Ninja -DSANITIZE=thread
# tools/sanitize.sh does that for the tests CI runs so. Every finding stops
# the program (no recovery), so that a test cannot pass over one.
set(SANITIZE "" CACHE STRING "Sanitizers for every target: address,undefined or thread (empty: none)")
if(SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "SANITIZE is for GCC and Clang")
  endif()
  add_compile_options(-fsanitize=${SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${SANITIZE} -fno-sanitize-recover=all)
  message(STATUS "Sanitizers: ${SANITIZE}")
endif()
