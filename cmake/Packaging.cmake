# Two Debian packages, tarnby and quellin, made by CPack from the install components of
# data/CMakeLists.txt (scripts/package.sh runs it). Their dependencies are computed from the
# binaries by dpkg-shlibdeps; none is written down here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnby-quellin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tarnby quellin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders made by the install step get the usual 0755 whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_TARNBY_PACKAGE_NAME tarnby)
set(CPACK_DEBIAN_TARNBY_PACKAGE_SECTION web)
set(CPACK_COMPONENT_TARNBY_DESCRIPTION "turn a web page into a list of its links
Tarnby fetches a web page over HTTP or HTTPS, or loads local HTML and text
files, and reduces it to one URL|text line per link, ready to load into
a database. Its HTML parser reads pages by the HTML standard's rules and
writes their links in page order, with decoded text and absolute addresses.
The result can be edited, saved as plain text or RTF, and printed; without
a window, tarnby --links prints the links for scripts.")

set(CPACK_DEBIAN_QUELLIN_PACKAGE_NAME quellin)
set(CPACK_DEBIAN_QUELLIN_PACKAGE_SECTION editors)
set(CPACK_COMPONENT_QUELLIN_DESCRIPTION "HTML editor joined to an FTP client
Quellin edits web pages that live on an FTP server: a remote file opens
straight into its HTML editor and goes back to the server with one button,
byte for byte as it was edited. The editor inserts HTML snippets from a
menu, colours tags and attributes, finds and replaces, and prints with
header, footer and margins after a page preview. Keyboard macros start
programs, wait for their windows and type keys into them.")

include(CPack)
