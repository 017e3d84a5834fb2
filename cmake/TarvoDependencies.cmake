# Every library comes from Debian's packages (scripts/install-deps installs them).
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto SSL)
find_package(CURL REQUIRED)
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(LIBSECRET REQUIRED IMPORTED_TARGET libsecret-1)
pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)

if(TARVO_BUILD_GUI)
  set(CMAKE_AUTOMOC ON)
  # Qt 6.4 (Debian 12) is the oldest Qt we build on; Debian 13 brings 6.8.
  find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Svg Network PrintSupport Test DBus)
  find_package(Qt6 6.4 REQUIRED COMPONENTS WebEngineCore WebEngineWidgets WebChannel Quick)
  # The compatibility engine's module (src/engines/webkitgtk) alone links these; Qt
  # itself hands out the X11 display through its native interface.
  pkg_check_modules(WEBKITGTK REQUIRED IMPORTED_TARGET webkit2gtk-4.1 gtk+-3.0 gtk+-x11-3.0 x11)
endif()

if(TARVO_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(TARVO_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
