# Compiler launcher, warnings and sanitizers shared by every target of ours.

find_program(TARVO_CCACHE ccache)
if(TARVO_CCACHE)
  # Precompiled headers change the inputs ccache hashes; these sloppiness flags let
  # it still reuse results across clean builds. Paths below the source folder are
  # hashed relative to it, so a second checkout elsewhere (CI) reuses the results.
  set(_launcher ${CMAKE_COMMAND} -E env
      "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
      "CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}" "CCACHE_NOHASHDIR=1"
      ${TARVO_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
endif()

# Applied per target (see TarvoTargets) so third-party code is never built with -Werror.
set(TARVO_WARNING_FLAGS -Wall -Wextra -Wpedantic -Werror -Wno-missing-field-initializers)

if(TARVO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(TARVO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT TARVO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TARVO_SANITIZE must be empty, 'address' or 'thread'")
endif()
