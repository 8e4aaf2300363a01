# Install, manual page, bash completion, documents and the Debian package.
# The manual page is made from the built program's complete help (--h3) and
# the completion's option words from the option table, so neither can drift
# from the program.
include(GNUInstallDirs)
find_package(Python3 COMPONENTS Interpreter REQUIRED)
find_program(QUORVID_GZIP gzip REQUIRED)

# The package's changelog names the version it describes first.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog QUORVID_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT QUORVID_CHANGELOG_TOP MATCHES "^quorvid \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with version ${PROJECT_VERSION}")
endif()

set(QUORVID_MANPAGE ${CMAKE_BINARY_DIR}/quorvid.1)
set(QUORVID_COMPLETION ${CMAKE_BINARY_DIR}/quorvid.bash-completion)
set(QUORVID_DOC_STAGE ${CMAKE_BINARY_DIR}/doc)
add_custom_command(
  OUTPUT ${QUORVID_MANPAGE} ${QUORVID_MANPAGE}.gz
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/make_manpage.py
          --binary $<TARGET_FILE:quorvid>
          --table ${CMAKE_SOURCE_DIR}/src/cli/option_table.cpp
          --install-bindir ${CMAKE_INSTALL_FULL_BINDIR}
          --epoch ${QUORVID_BUILD_EPOCH}
          --output ${QUORVID_MANPAGE}
  # Installed pages are compressed the way Debian asks: best, without a name or time.
  COMMAND ${QUORVID_GZIP} -9nkf ${QUORVID_MANPAGE}
  DEPENDS quorvid ${CMAKE_SOURCE_DIR}/tools/make_manpage.py
          ${CMAKE_SOURCE_DIR}/tools/quorvid_options.py
          ${CMAKE_SOURCE_DIR}/src/cli/option_table.cpp
  COMMENT "Generating the quorvid(1) manual page from quorvid --h3"
  VERBATIM)
add_custom_command(
  OUTPUT ${QUORVID_COMPLETION}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/make_completion.py
          ${CMAKE_SOURCE_DIR}/packaging/quorvid.bash-completion.in
          ${CMAKE_SOURCE_DIR}/src/cli/option_table.cpp
          ${QUORVID_COMPLETION}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_completion.py
          ${CMAKE_SOURCE_DIR}/tools/quorvid_options.py
          ${CMAKE_SOURCE_DIR}/packaging/quorvid.bash-completion.in
          ${CMAKE_SOURCE_DIR}/src/cli/option_table.cpp
  COMMENT "Generating the bash completion from the option table"
  VERBATIM)
# /usr/share/doc/quorvid: the README and the changelog compressed, the
# copyright file as it is.
add_custom_command(
  OUTPUT ${QUORVID_DOC_STAGE}/README.md.gz ${QUORVID_DOC_STAGE}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVID_DOC_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md
          ${CMAKE_SOURCE_DIR}/packaging/changelog ${QUORVID_DOC_STAGE}
  COMMAND ${QUORVID_GZIP} -9nf ${QUORVID_DOC_STAGE}/README.md ${QUORVID_DOC_STAGE}/changelog
  DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the README and the changelog"
  VERBATIM)
add_custom_target(quorvid_docs ALL DEPENDS ${QUORVID_MANPAGE}.gz ${QUORVID_COMPLETION}
                  ${QUORVID_DOC_STAGE}/README.md.gz ${QUORVID_DOC_STAGE}/changelog.gz)

install(TARGETS quorvid RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUORVID_MANPAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUORVID_COMPLETION}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quorvid)
install(FILES ${QUORVID_DOC_STAGE}/README.md.gz ${QUORVID_DOC_STAGE}/changelog.gz
              ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET cli_tests)
  # The install test installs this build into a DESTDIR and packages it; the
  # manual page test runs the page's examples.
  add_dependencies(cli_tests quorvid_docs)
  target_compile_definitions(cli_tests PRIVATE
    QUORVID_BUILD_DIR="${CMAKE_BINARY_DIR}"
    QUORVID_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUORVID_VERSION="${PROJECT_VERSION}"
    QUORVID_CMAKE_COMMAND="${CMAKE_COMMAND}"
    QUORVID_CPACK_COMMAND="${CMAKE_CPACK_COMMAND}"
    QUORVID_INSTALL_BINDIR="${CMAKE_INSTALL_BINDIR}"
    QUORVID_INSTALL_MANDIR="${CMAKE_INSTALL_MANDIR}"
    QUORVID_INSTALL_DATADIR="${CMAKE_INSTALL_DATADIR}"
    QUORVID_INSTALL_DOCDIR="${CMAKE_INSTALL_DOCDIR}"
    QUORVID_OPTION_TABLE_SOURCE="${CMAKE_SOURCE_DIR}/src/cli/option_table.cpp")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvid)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorvid developers <developers@quorvid.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compute, compare and verify file and text hashes")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quorvid computes, compares and verifies hashes of files and text strings
with fourteen algorithms: MD5, SHA1, SHA2, SHA3, BLAKE2, BLAKE3, XXHash64
and MurmurHash3. It hashes lists of files and texts and whole folder trees,
compares two files, writes checksum lists and checks folders against them,
verifies files against hashes, lists and URLs, finds the files that match
known hashes, and encodes and decodes base64. Each outcome has its own exit
code, for scripts.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Depends is computed by dpkg-shlibdeps (dpkg-dev) from the libraries the
# binary really links: with QUORVID_STATIC_LIBS=OFF, libssl3 and libxxhash0.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)
include(CPack)
