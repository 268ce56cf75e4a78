# The Debian package, built with "cpack" in the build folder (scripts/package):
# build/ezedudu_<version>_<arch>.deb, installing under /usr.
#
# lintian reports no error or warning on it (scripts/check-package). Its
# informational notes are kept: hardening-no-bindnow and
# hardening-no-fortify-functions, because the build takes CMake's flags, not
# dpkg-buildflags; binary-has-unneeded-section, because CPack's strip keeps
# the compiler's .comment note.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ezedudu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Ezedudu developers <developers@ezedudu.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from the binaries (dpkg-shlibdeps); the windows need a
# font for their text, which Qt finds only at run time, so one is named
# here. Qt's bitmap-free formats beyond PNG, JPEG and GIF (TIFF, WebP) are a
# recommendation.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
# CPack puts the summary first and indents each line of the long text by a
# space; "." stands for an empty line.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn pictures into NFO text art")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ezedudu draws a picture as NFO text art: the code-page-437 full block, the
three shade characters and the space, as NFO viewers show them.
.
ezedudu-cli converts pictures from the command line: it fits the art to 80
columns for the viewer's character cells, stretches and adjusts its tones,
dithers it, and draws a preview picture. ezedudu asks for a picture and
converts it in a small window. Ezedudu Studio shows the art live while it
is tuned. Bitmaps of any size are read by its own strict reader, which
refuses corrupt files; other common formats are read too.")
include(CPack)
