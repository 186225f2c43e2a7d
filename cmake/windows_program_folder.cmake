# The Qt libraries, plug-ins and C++ runtime that lumetra.exe needs, laid beside it when
# no windeployqt is at hand (Qt for Windows cross-built here has none). Everything is
# stripped: the program folder is what a workstation gets.
set(lumetra_qt_dlls)
foreach(module Core Gui Widgets)
  list(APPEND lumetra_qt_dlls $<TARGET_FILE:Qt6::${module}>)
endforeach()
install(FILES ${lumetra_qt_dlls} DESTINATION .)

# The windows platform plug-in, the native style and the reader of the .ico the window
# carries, each in the folder Qt looks in beside the program.
foreach(plugin_folder QWindowsIntegrationPlugin:platforms QWindowsVistaStylePlugin:styles
                      QICOPlugin:imageformats)
  string(REPLACE ":" ";" plugin_folder ${plugin_folder})
  list(GET plugin_folder 0 plugin)
  list(GET plugin_folder 1 folder)
  if(TARGET Qt6::${plugin})
    install(FILES $<TARGET_FILE:Qt6::${plugin}> DESTINATION ${folder})
  elseif(plugin STREQUAL "QWindowsIntegrationPlugin")
    message(FATAL_ERROR "Qt for Windows has no windows platform plug-in")
  endif()
endforeach()

# The MinGW-w64 runtime Qt's libraries and the program share.
if(MINGW)
  foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_path}")
      find_file(runtime_path ${runtime} PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_CACHE
                NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    endif()
    install(FILES ${runtime_path} DESTINATION .)
  endforeach()
endif()

if(CMAKE_STRIP)
  install(CODE "set(lumetra_strip \"${CMAKE_STRIP}\")")
  install(CODE [[
    file(GLOB_RECURSE binaries "${CMAKE_INSTALL_PREFIX}/*.dll")
    foreach(binary ${binaries} "${CMAKE_INSTALL_PREFIX}/lumetra.exe")
      execute_process(COMMAND "${lumetra_strip}" --strip-unneeded "${binary}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  ]])
endif()
