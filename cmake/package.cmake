# A Debian package of the program: `cpack -G DEB` in the build directory. The shared libraries
# it links are declared as dependencies by dpkg-shlibdeps; the Chinese font and Qt's Chinese
# texts are run-time needs no library link shows.
set(CPACK_PACKAGE_NAME lankutong)
set(CPACK_PACKAGE_VENDOR "岚库通团队")
set(CPACK_PACKAGE_CONTACT "岚库通团队 <support@lankutong.cn>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "岚库通进销存管理系统 - purchase, sales and stock ledger for small shops")
# The extended description below the summary; CPack indents its lines and writes the empty
# one as the control file's " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Keeps the books of a small shop: goods taken into stock, sales one by one or
by barcode scanner, customers' debts, other income and expense, bank deposits
and withdrawals, sales and profit charts, and an Excel export of every list.
Purchase prices and profits are shown to the super administrator only.

The books are kept in an SQLite file in the user's data directory, or on a
PostgreSQL server shared by several tills, each of which sells on from its
own copy while the server cannot be reached. The program's windows are in
Chinese.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY lankutong)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-zenhei | fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
