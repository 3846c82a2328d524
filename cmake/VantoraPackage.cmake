# The Debian package of Vantora: `cpack -G DEB` in a build folder makes vantora_<version>_<arch>.deb
# from what `cmake --install` lays out, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantora)
set(CPACK_PACKAGE_VENDOR "The Vantora developers")
set(CPACK_PACKAGE_CONTACT "The Vantora developers <developers@vantora.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stock-quote monitor with alerts, logs and a market ticker")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantora watches the quotes of a portfolio of up to 30 stock symbols:
it downloads them at a chosen interval, shows them in a coloured,
sortable grid, raises high and low price alerts, writes a monthly quote
log, values the portfolio and scrolls the chosen market indices through
a ticker strip.

It ships its own quote service (also as the program vantora-quoted),
which simulates a market or fetches live quotes, so it runs without
Internet access.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The ticker control and the Qt plugins are loaded at run time, so shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The package carries the ticker control's shared library (libslidetape-widget.so.1) for
# other programs to link: it declares it (shlibs) and lets the system's linker cache know.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/deb/triggers)
# gzip: a few times faster to make than xz, which counts for the package test.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)

include(CPack)
