# Install rules: the executables, and the machine values the program reads at every window load
# ("Pfad", "Language", "Version" below its machine key), written where the installed program looks.
if(NOT PLX24_LANGUAGE STREQUAL "1031" AND NOT PLX24_LANGUAGE STREQUAL "1033")
  message(FATAL_ERROR "PLX24_LANGUAGE is '${PLX24_LANGUAGE}': use 1031 (German) or 1033 (English)")
endif()

foreach(exe plx24cfg plx24-sim)
  if(TARGET ${exe})
    install(TARGETS ${exe} RUNTIME DESTINATION bin COMPONENT programs)
  endif()
endforeach()

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
    set(plx24_store \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/etc/plx24cfg/machine.ini\")
    message(STATUS \"Machine settings: \${plx24_store}\")
    execute_process(COMMAND \"$<TARGET_FILE:plx24_write_machine_settings>\" \"\${plx24_store}\"
                            \"Pfad=\${CMAKE_INSTALL_PREFIX}\" \"Language=${PLX24_LANGUAGE}\" \"Version=${plx24_version}\"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR \"could not write the machine settings into \${plx24_store}\")
    endif()
  " COMPONENT machine_settings)
endif()
