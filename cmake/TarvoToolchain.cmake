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

# Programs the build itself runs (the suffix table generator, the skin packer) are
# started through this prefix. Under AddressSanitizer their leak check is off: the
# skin packer loads Qt's offscreen platform plugin, whose allocations Qt never frees,
# and a leak report would fail the build although the tool's output is sound.
set(TARVO_BUILD_TOOL_LAUNCH "")

if(TARVO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  set(TARVO_BUILD_TOOL_LAUNCH ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
elseif(TARVO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT TARVO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TARVO_SANITIZE must be empty, 'address' or 'thread'")
endif()
if(TARVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR TARVO_SANITIZE)
    message(FATAL_ERROR "TARVO_FUZZ needs clang (CC=clang CXX=clang++) and no TARVO_SANITIZE")
  endif()
  # Everything is instrumented for coverage and checked; only the fuzz programs link
  # libFuzzer's main (fuzz/CMakeLists.txt). A finding must stop the run, so UBSan
  # does not recover. Warnings stay on but are enforced by the GCC build only: clang
  # warns differently.
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  list(REMOVE_ITEM TARVO_WARNING_FLAGS -Werror)
  set(TARVO_BUILD_TOOL_LAUNCH ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
endif()
if(TARVO_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # The sanitizers' instrumentation makes GCC 12 see faults that cannot happen:
  # uninitialised reads inside the standard library's <regex>, and copies of
  # "unbounded" or negative size in std::basic_string assignments. Only those three
  # warnings are silenced; every other warning still fails the build.
  list(APPEND TARVO_WARNING_FLAGS -Wno-maybe-uninitialized -Wno-stringop-overflow -Wno-array-bounds)
endif()
