# `cpack -G DEB` in the build folder makes two Debian packages, their dependencies read from the
# binaries by dpkg-shlibdeps: venmarra, the program, which recommends venmarra-devserver, the local
# service with the systemd units that start it on its first call.
set(CPACK_PACKAGE_NAME venmarra)
set(CPACK_PACKAGE_VENDOR "${VENMARRA_AUTHOR_CREDIT}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# Each description's first line is its synopsis; the lines are of at most 80 characters, as
# Debian's policy asks.
string(JOIN "\n" CPACK_DEBIAN_PROGRAM_DESCRIPTION
  "Desktop client for a disposable-mailbox service"
  "Venmarra gets a temporary mailbox from a disposable-mailbox service, polls"
  "it, lists each new mail by sender and subject, and shows a mail's content."
  "Its interface is in Simplified Chinese. Its default service is the local"
  "one of the venmarra-devserver package.")
string(JOIN "\n" CPACK_DEBIAN_DEVSERVER_DESCRIPTION
  "Local disposable-mailbox service for Venmarra"
  "venmarra-devserver hands out temporary mailboxes over HTTP as Venmarra's"
  "service does, and accepts mail for them by SMTP, on this machine's loopback"
  "ports only. systemd starts it when a client first reaches its sockets;"
  "mailboxes live ten minutes, kept with their mail across restarts.")
set(CPACK_PACKAGE_CONTACT "Venmarra developers <dev@venmarra.test>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program devserver)
set(CPACK_DEBIAN_PACKAGE_SOURCE venmarra)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME venmarra)
# Qt's own words in Chinese (a message box's 确定).
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "venmarra-devserver, fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_DEVSERVER_PACKAGE_NAME venmarra-devserver)
# The maintainer scripts call deb-systemd-helper and deb-systemd-invoke.
set(CPACK_DEBIAN_DEVSERVER_PACKAGE_DEPENDS "init-system-helpers (>= 1.54~)")
set(CPACK_DEBIAN_DEVSERVER_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/debian/devserver/postinst ${PROJECT_SOURCE_DIR}/resources/debian/devserver/prerm
    ${PROJECT_SOURCE_DIR}/resources/debian/devserver/postrm)
set(CPACK_DEBIAN_DEVSERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
