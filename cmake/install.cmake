# Install rules: the programs with their manual pages, the help documents, the desktop entry and its
# icon, and the machine values the program reads at every window load ("Pfad", "Language", "Version"
# below its machine key), written where the installed program looks.
if(NOT PLX24_LANGUAGE STREQUAL "1031" AND NOT PLX24_LANGUAGE STREQUAL "1033")
  message(FATAL_ERROR "PLX24_LANGUAGE is '${PLX24_LANGUAGE}': use 1031 (German) or 1033 (English)")
endif()

# One more program is one more name in this list, and its manual page in packaging/man/.
set(PLX24_PROGRAMS plx24cfg plx24-sim plx24ctl)
# what the install step needs built: scripts/run builds this target
add_custom_target(plx24_installables)
foreach(exe ${PLX24_PROGRAMS} plx24_write_machine_settings plx24_help_documents)
  if(TARGET ${exe})
    add_dependencies(plx24_installables ${exe})
  endif()
endforeach()

# manual pages and the changelog are installed compressed, as Debian's policy asks (-n: no name or
# time inside, so the package is the same from one build to the next)
find_program(PLX24_GZIP gzip)
function(plx24_install_gzipped file destination)
  set(installed ${file})
  if(PLX24_GZIP)
    execute_process(COMMAND ${PLX24_GZIP} -9nkf ${file} RESULT_VARIABLE gzip_result)
    if(gzip_result EQUAL 0)
      set(installed ${file}.gz)
    endif()
  endif()
  install(FILES ${installed} DESTINATION ${destination} COMPONENT programs)
endfunction()

foreach(exe ${PLX24_PROGRAMS})
  if(TARGET ${exe})
    install(TARGETS ${exe} RUNTIME DESTINATION bin COMPONENT programs)
    if(EXISTS ${PROJECT_SOURCE_DIR}/packaging/man/${exe}.1 AND NOT WIN32)
      # the page's version string is defined in front of it; read from the source tree it names none
      file(READ ${PROJECT_SOURCE_DIR}/packaging/man/${exe}.1 text)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/man/${exe}.1)
      set(page ${CMAKE_BINARY_DIR}/man/${exe}.1)
      file(WRITE ${page} ".ds Vn ${PROJECT_VERSION}\n${text}")
      plx24_install_gzipped(${page} share/man/man1)
    endif()
  endif()
endforeach()

# what a Debian package carries beside its programs: the copyright file and the changelog
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/plx24cfg COMPONENT programs)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/doc/changelog COPYONLY)
  plx24_install_gzipped(${CMAKE_BINARY_DIR}/doc/changelog share/doc/plx24cfg)
endif()

# The help documents lie where "Pfad" followed by help_document points: <Pfad>/Doc/...
if(WIN32)
  set(plx24_data_dir ".")
else()
  set(plx24_data_dir "share/plx24cfg")
endif()
if(DEFINED PLX24_HELP_DIR)
  install(DIRECTORY ${PLX24_HELP_DIR}/ DESTINATION ${plx24_data_dir}/Doc COMPONENT programs
          FILES_MATCHING PATTERN "*.pdf")
endif()
if(TARGET plx24cfg AND NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/plx24cfg.desktop DESTINATION share/applications COMPONENT programs)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/plx24cfg.svg DESTINATION share/icons/hicolor/scalable/apps
          COMPONENT programs)
endif()

set(plx24_version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
if(WIN32)
  # the registry is the machine store on Windows; writing below HKLM needs an elevated install
  install(CODE "
    file(TO_NATIVE_PATH \"\${CMAKE_INSTALL_PREFIX}\" plx24_pfad)
    foreach(pair \"Pfad;\${plx24_pfad}\" \"Language;${PLX24_LANGUAGE}\" \"Version;${plx24_version}\")
      list(GET pair 0 name)
      list(GET pair 1 value)
      execute_process(COMMAND reg add \"HKLM\\\\SOFTWARE\\\\Orvanto Sensortechnik GmbH\\\\PLX24-RS485-MODBUS\"
                              /v \"\${name}\" /t REG_SZ /d \"\${value}\" /f RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR \"could not write \${name} into HKEY_LOCAL_MACHINE (run the install elevated)\")
      endif()
    endforeach()
  " COMPONENT machine_settings)
else()
  install(CODE "
    # below /usr the machine values go to /etc, as the program looks for them there
    set(plx24_etc \"\${CMAKE_INSTALL_PREFIX}\")
    if(plx24_etc STREQUAL \"/usr\")
      set(plx24_etc \"\")
    endif()
    set(plx24_store \"\$ENV{DESTDIR}\${plx24_etc}/etc/plx24cfg/machine.ini\")
    message(STATUS \"Machine settings: \${plx24_store}\")
    execute_process(COMMAND \"$<TARGET_FILE:plx24_write_machine_settings>\" \"\${plx24_store}\"
                            \"Pfad=\${CMAKE_INSTALL_PREFIX}/${plx24_data_dir}\" \"Language=${PLX24_LANGUAGE}\"
                            \"Version=${plx24_version}\"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR \"could not write the machine settings into \${plx24_store}\")
    endif()
  " COMPONENT machine_settings)
endif()
