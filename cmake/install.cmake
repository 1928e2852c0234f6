# SPDX-License-Identifier: GPL-3.0-or-later
# Installing voxrig (`make install`) and its Debian package (`make deb`).
#
# The installed tree: bin/voxrig, bin/ar8600-sim, bin/voxrig-demo; the English
# prompt set in share/voxrig/wave/; make-prompts and its word lists in
# share/voxrig/ so a listener can make another pace or language; the demo's
# signals and memory; the README and the user's guide (each also as plain
# text), the copyright and the manual pages. The developers' and performance
# pages stay in the source.
include(GNUInstallDirs)

# Installing (and packaging) needs the programs, the prompts and the manual
# pages, not the tests: `make install` and `make deb` build those first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(VOXRIG_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/voxrig)

# The panel looks for the installed prompts beside its own bin/ folder first,
# so a staged install (DESTDIR), another --prefix and the package all find
# them with the same build; the data folder of the configured prefix comes
# after that.
file(RELATIVE_PATH VOXRIG_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VOXRIG_DATA_SUBDIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/speech/prompt_path.cpp
  TARGET_DIRECTORY voxrig_speech
  PROPERTIES COMPILE_DEFINITIONS
    "VOXRIG_DATA_DIR=\"${CMAKE_INSTALL_PREFIX}/${VOXRIG_DATA_SUBDIR}\";VOXRIG_DATA_FROM_BIN=\"${VOXRIG_DATA_FROM_BIN}\"")

# The prompt set at the default pace, made in the build folder. Every word
# list under tools/ counts, whatever language files it holds.
file(GLOB VOXRIG_WORD_LISTS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tools/prompt-words*.txt ${CMAKE_SOURCE_DIR}/tools/prompt-words/*.txt)
set(VOXRIG_PROMPT_DIR ${CMAKE_BINARY_DIR}/wave)
add_custom_command(
  OUTPUT ${VOXRIG_PROMPT_DIR}/.made
  COMMAND ${CMAKE_SOURCE_DIR}/tools/make-prompts ${VOXRIG_PROMPT_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${VOXRIG_PROMPT_DIR}/.made
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-prompts ${VOXRIG_WORD_LISTS}
  COMMENT "Making the prompt set to install"
  VERBATIM)
# The sanitizer build tests the same sources and installs nothing.
if(VOXRIG_SANITIZE)
  add_custom_target(prompt_set DEPENDS ${VOXRIG_PROMPT_DIR}/.made)
else()
  add_custom_target(prompt_set ALL DEPENDS ${VOXRIG_PROMPT_DIR}/.made)
endif()

# Manual pages and the package's change log, compressed as Debian wants them.
# The manual pages take the version from the build.
set(VOXRIG_DOC_BUILD ${CMAKE_BINARY_DIR}/doc)
set(VOXRIG_COMPRESSED)
foreach(page voxrig.1 ar8600-sim.1)
  configure_file(${CMAKE_SOURCE_DIR}/doc/${page} ${VOXRIG_DOC_BUILD}/pages/${page} @ONLY)
endforeach()
foreach(source ${VOXRIG_DOC_BUILD}/pages/voxrig.1 ${VOXRIG_DOC_BUILD}/pages/ar8600-sim.1
               ${CMAKE_SOURCE_DIR}/doc/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${VOXRIG_DOC_BUILD}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VOXRIG_DOC_BUILD}
    COMMAND gzip -9 -n -c ${source} > ${VOXRIG_DOC_BUILD}/${name}.gz
    DEPENDS ${source})
  list(APPEND VOXRIG_COMPRESSED ${VOXRIG_DOC_BUILD}/${name}.gz)
endforeach()
# The README and the guide as plain text too: a terminal's screen reader
# reads their tables as sentences instead of rows of pipes.
set(VOXRIG_LISTENER_DOCS README.md doc/guide.md)
set(VOXRIG_PLAIN_DOCS)
foreach(markdown ${VOXRIG_LISTENER_DOCS})
  get_filename_component(name ${markdown} NAME_WE)
  add_custom_command(
    OUTPUT ${VOXRIG_DOC_BUILD}/${name}.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VOXRIG_DOC_BUILD}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/readme-text ${CMAKE_SOURCE_DIR}/${markdown}
            ${VOXRIG_DOC_BUILD}/${name}.txt
    DEPENDS ${CMAKE_SOURCE_DIR}/${markdown} ${CMAKE_SOURCE_DIR}/tools/readme-text)
  list(APPEND VOXRIG_COMPRESSED ${VOXRIG_DOC_BUILD}/${name}.txt)
  list(APPEND VOXRIG_PLAIN_DOCS ${VOXRIG_DOC_BUILD}/${name}.txt)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${VOXRIG_COMPRESSED})
# voxrig-demo is described in voxrig's page.
file(MAKE_DIRECTORY ${VOXRIG_DOC_BUILD})
file(CREATE_LINK voxrig.1.gz ${VOXRIG_DOC_BUILD}/voxrig-demo.1.gz SYMBOLIC)

install(TARGETS voxrig ar8600-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package) also drops the compiler's notes: the
# .comment and .note sections that Debian's own strip removes.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program voxrig ar8600-sim)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
        RESULT_VARIABLE stripped)
      if(NOT stripped EQUAL 0)
        message(FATAL_ERROR \"objcopy could not strip \${program}\")
      endif()
    endforeach()
  endif()")
install(PROGRAMS tools/voxrig-demo DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${VOXRIG_PROMPT_DIR}/ DESTINATION ${VOXRIG_DATA_SUBDIR}/wave
        FILES_MATCHING PATTERN "*.wav")
install(PROGRAMS tools/make-prompts DESTINATION ${VOXRIG_DATA_SUBDIR})
# make-prompts finds its word lists beside itself, as in tools/.
foreach(list ${VOXRIG_WORD_LISTS})
  file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR}/tools ${list})
  get_filename_component(folder ${relative} DIRECTORY)
  install(FILES ${list} DESTINATION ${VOXRIG_DATA_SUBDIR}/${folder})
endforeach()
install(FILES tools/demo-signals.txt tools/demo-memory.txt DESTINATION ${VOXRIG_DATA_SUBDIR})
install(FILES ${VOXRIG_LISTENER_DOCS} ${VOXRIG_PLAIN_DOCS} doc/copyright
              ${VOXRIG_DOC_BUILD}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${VOXRIG_DOC_BUILD}/voxrig.1.gz ${VOXRIG_DOC_BUILD}/voxrig-demo.1.gz
              ${VOXRIG_DOC_BUILD}/ar8600-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. Library dependencies come from dpkg-shlibdeps (SDL2,
# SDL2_ttf, fontconfig, libtermkey, BrlAPI and the C++ run time at the
# versions built against); the font is named here because it is found by
# name, not linked. brltty itself is only recommended: the braille line
# shows whenever it runs, and the panel does without it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME voxrig)
set(CPACK_PACKAGE_VERSION ${VOXRIG_VERSION})
set(CPACK_PACKAGE_CONTACT "The voxrig project <voxrig@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking front panel for the AOR AR8600 receiver")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libhamlib4, which drives the radios other than the AR8600
# (RADIO=hamlib:<model>), is linked, so dpkg-shlibdeps names it with its
# version; so is libspeechd2, the client of speech-dispatcher, whose server
# speaks for a listener who asks for it (SPEECH=speechd, --speech speechd).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "espeak-ng, sox, brltty, speech-dispatcher")
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "voxrig drives the AOR AR8600 communications receiver over its serial port
and answers every key with a short recorded speech prompt, so that blind and
partially sighted listeners can work the receiver from the keyboard alone:
tune, choose the mode, hear the frequency and signal level, search between
two limits, keep bank files of channels and program the receiver's memory.
Other receivers and transceivers that Hamlib drives are worked with the
same keys, as far as each radio can do what a key asks.
.
The package holds the panel, an English prompt set, a simulated AR8600 and
voxrig-demo, which runs the panel against the simulator. It runs in a
window, or in a terminal (voxrig --terminal, over SSH too) with plain lines
for a screen reader, and shows its line on a braille display through brltty.
Install espeak-ng and sox to make a prompt set at another pace or in another
language.")
include(CPack)
