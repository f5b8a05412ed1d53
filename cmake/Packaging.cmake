# `cpack -G DEB` in the build folder makes a Debian package; its dependencies are read from the
# binaries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME venmarra)
set(CPACK_PACKAGE_VENDOR "${VENMARRA_AUTHOR_CREDIT}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop client for a disposable-mailbox service")
# The extended description: lines of at most 80 characters, as Debian's policy asks.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Venmarra gets a temporary mailbox from a disposable-mailbox service, polls"
  "it, lists each new mail by sender and subject, and shows a mail's content."
  "Its interface is in Simplified Chinese. It comes with venmarra-devserver, a"
  "local stand-in service that accepts mail by SMTP.")
set(CPACK_PACKAGE_CONTACT "Venmarra developers <dev@venmarra.test>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_STRIP_FILES ON)
include(CPack)
