# Target helpers. Core libraries are plain C++: they must never see a Qt header, so
# they get no Qt include path, may not link anything Qt, and the check at the end of
# configuration fails the build when one does.

set_property(GLOBAL PROPERTY TARVO_CORE_TARGETS "")

# Adds every listed sub-folder that has a CMakeLists.txt, so a module can be added by
# creating its folder without editing a shared list.
function(tarvo_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

function(_tarvo_common target)
  # -pthread everywhere, not only where a pkg-config library (glib) asks for it: it
  # defines _REENTRANT, and the shared precompiled headers below are only accepted by
  # targets that define the same macros. Every program of ours is threaded anyway.
  target_compile_options(${target} PRIVATE ${TARVO_WARNING_FLAGS} -pthread)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# tarvo_core_library(name SOURCES ... [LIBS ...])
function(tarvo_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  _tarvo_common(${name})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  _tarvo_use_std_headers(${name})
  set_property(GLOBAL APPEND PROPERTY TARVO_CORE_TARGETS ${name})
endfunction()

# Precompiled headers are compiled once for the whole build and shared, one set for
# the core and one for GUI targets: a copy per target took 53 MB (core) or 160 MB
# (Qt) each with debug information, 7.6 GB of a build, and a machine with a small
# disk filled up before the sanitizer passes. GCC only accepts a shared header
# where the flags that matter match; every target compiles with -fPIC (below), and
# -Winvalid-pch with -Werror turns any mismatch into a build failure rather than a
# silently slower build.
#
# _tarvo_use_shared_headers(target host [LIBS ...] HEADERS ...)
function(_tarvo_use_shared_headers target host)
  cmake_parse_arguments(ARG "" "" "LIBS;HEADERS" ${ARGN})
  if(NOT TARGET ${host})
    set(source ${CMAKE_BINARY_DIR}/${host}.cpp)
    file(WRITE ${source} "// Compiles the headers that other targets share.\n")
    add_library(${host} STATIC ${source})
    _tarvo_common(${host})
    set_target_properties(${host} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    target_link_libraries(${host} PUBLIC ${ARG_LIBS})
    target_precompile_headers(${host} PRIVATE ${ARG_HEADERS})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${host})
  # Programs compile as position-independent code like the libraries whose headers
  # they share: Qt 6.4 asks every target for -fPIC, but Qt 6.8 gives programs -fPIE,
  # and GCC refuses a header made with the other. (Last on the line, so it wins.)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_compile_options(${target} PRIVATE -fPIC)
  endif()
endfunction()

function(_tarvo_use_std_headers target)
  _tarvo_use_shared_headers(${target} tarvo_std_headers HEADERS <string> <vector> <map> <memory> <mutex>)
endfunction()

# The heavy Qt headers every GUI target includes.
function(_tarvo_use_qt_headers target)
  _tarvo_use_shared_headers(${target} tarvo_qt_headers LIBS Qt6::Widgets
                            HEADERS <QtCore/QObject> <QtCore/QString> <QtGui/QPainter> <QtWidgets/QWidget>)
endfunction()

# tarvo_gui_library(name SOURCES ... [LIBS ...])
function(tarvo_gui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  _tarvo_common(${name})
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARG_LIBS})
  _tarvo_use_qt_headers(${name})
endfunction()

# tarvo_test(name SOURCES ... [LIBS ...] [GUI] [LABELS ...])
# A GoogleTest program registered with CTest. GUI tests run under the display that the
# test command provides (Xvfb) and use the offscreen-safe Qt settings of tests/support.
function(tarvo_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  _tarvo_common(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE tarvo_test_gui_main)
    tarvo_gui_test_keeps_modules_loaded(${name})
    _tarvo_use_qt_headers(${name})
    # Windows of two programs on one display take each other's focus (menus close on
    # focus loss), so toolkit-driven GUI tests take turns on the display.
    set(display_lock RESOURCE_LOCK display)
  else()
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if("tsan" IN_LIST ARG_LABELS)
    # The ThreadSanitizer pass of the test command builds only these programs.
    if(NOT TARGET tsan_tests)
      add_custom_target(tsan_tests)
    endif()
    add_dependencies(tsan_tests ${name})
  endif()
  set(env "TARVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data" "TARVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(TARVO_SANITIZE STREQUAL "address")
    list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/leak_suppressions.txt:print_suppressions=0")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" LABELS "${ARG_LABELS}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin ${display_lock})
  # GUI programs may start Chromium in process; end-to-end programs start the browser.
  if(ARG_GUI OR "e2e" IN_LIST ARG_LABELS)
    tarvo_runs_chromium(${name})
  endif()
endfunction()

# tarvo_bench(name SOURCES ... [LIBS ...])
function(tarvo_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  _tarvo_common(${name})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

function(_tarvo_collect_links target out_var)
  set(seen ${${out_var}})
  get_target_property(libs ${target} LINK_LIBRARIES)
  get_target_property(ilibs ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS libs ilibs)
    if(lib AND NOT lib IN_LIST seen AND NOT lib MATCHES "NOTFOUND$")
      list(APPEND seen ${lib})
      if(TARGET ${lib})
        _tarvo_collect_links(${lib} seen)
      endif()
    endif()
  endforeach()
  set(${out_var} ${seen} PARENT_SCOPE)
endfunction()

function(tarvo_verify_core_is_free_of_qt)
  get_property(core GLOBAL PROPERTY TARVO_CORE_TARGETS)
  foreach(target IN LISTS core)
    set(links "")
    _tarvo_collect_links(${target} links)
    foreach(lib IN LISTS links)
      if(lib MATCHES "^Qt6::|Qt6|tarvo_ui|tarvo_engine")
        message(FATAL_ERROR "core library ${target} links ${lib}; core code must stay free of Qt")
      endif()
    endforeach()
  endforeach()
endfunction()

# tarvo_gui_test_keeps_modules_loaded(program)
# Under AddressSanitizer a GUI test program keeps every module it loads until it
# ends (tests/support/modules_stay_loaded.cpp), so the leak check can name the library
# of a block such a module keeps. The program's own dlclose wins over the C library's
# for every caller because the program exports it.
function(tarvo_gui_test_keeps_modules_loaded program)
  if(TARVO_SANITIZE STREQUAL "address")
    set(source ${PROJECT_SOURCE_DIR}/tests/support/modules_stay_loaded.cpp)
    target_sources(${program} PRIVATE ${source})
    # One C declaration: the program's precompiled Qt headers would only slow it down.
    set_source_files_properties(${source} TARGET_DIRECTORY ${program} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    target_link_options(${program} PRIVATE "LINKER:--export-dynamic-symbol=dlclose")
  endif()
endfunction()

# tarvo_runs_chromium(test ...)
# Chromium inside Qt WebEngine deletes some objects of its own through a pointer to a
# smaller type (both the allocation and the delete lie in libQt6WebEngineCore), and
# AddressSanitizer's new/delete size check stops the program on the first one, even
# in a test that only opens a page. That check has no suppression by library, so under
# AddressSanitizer the tests that run Chromium, in process or through the browser they
# start (which inherits the environment), keep every check but that one; the leak
# check included.
function(tarvo_runs_chromium)
  _tarvo_add_asan_option_to_tests(new_delete_type_mismatch=0 ${ARGN})
endfunction()

# Under AddressSanitizer, adds `option` to the ASAN_OPTIONS of every test named after it.
function(_tarvo_add_asan_option_to_tests option)
  if(TARVO_SANITIZE STREQUAL "address")
    foreach(test IN LISTS ARGN)
      _tarvo_add_asan_option(${test} ${option})
    endforeach()
  endif()
endfunction()

# Adds one option to a test's ASAN_OPTIONS, keeping the ones set before it.
function(_tarvo_add_asan_option test option)
  get_property(env TEST ${test} PROPERTY ENVIRONMENT)
  set(options "")
  foreach(entry IN LISTS env)
    if(entry MATCHES "^ASAN_OPTIONS=(.*)$")
      set(options "${CMAKE_MATCH_1}:")
      list(REMOVE_ITEM env "${entry}")
    endif()
  endforeach()
  list(APPEND env "ASAN_OPTIONS=${options}${option}")
  set_property(TEST ${test} PROPERTY ENVIRONMENT "${env}")
endfunction()

# tarvo_without_leak_check(test ...)
# Programs whose engines keep blocks the leak check cannot attribute (the Chromium
# engine's OpenGL driver when one is loaded; the compatibility engine's thread-local
# blocks). Under AddressSanitizer these tests keep every other check but the leak
# check; the caller says why next to the call.
function(tarvo_without_leak_check)
  _tarvo_add_asan_option_to_tests(detect_leaks=0 ${ARGN})
endfunction()
