# `cpack -G DEB` in the build folder makes vocabrix_<version>_<arch>.deb from the install rules.
set(CPACK_PACKAGE_NAME vocabrix)
set(CPACK_PACKAGE_VENDOR "The Vocabrix developers")
set(CPACK_PACKAGE_CONTACT "The Vocabrix developers <vocabrix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure and chart how the vocabulary of a text grows")
# Lines of the package's long description, as a package manager shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Vocabrix reads plain-text files as one stream of word tokens and records, after"
    "every N tokens, the number of distinct word types and of the types seen exactly"
    "k times. From the final frequency spectrum it computes the exact expected curves"
    "for the same tokens in random order, writes a frequency list, and draws a"
    "rank-frequency chart and a type-token chart."
    ""
    "The package holds the desktop program and vocabrix-cli, which runs the same"
    "measurement from scripts.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# dpkg-shlibdeps names the packages of the linked libraries. The plugins Qt loads at run time come with them:
# the X11 platform plugin is in libqt6gui6, the printing one in libqt6printsupport6. (Wayland's platform plugin
# would bring Qt Quick along; without it the program runs through XWayland.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
