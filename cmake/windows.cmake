# The real 32-bit Windows build: the same system sources against the real Windows headers,
# the resources compiled by windres from the same script, and our music library as a DLL.
set(CMAKE_CXX_FLAGS "${CMAKE_CXX_FLAGS} -static -static-libgcc -static-libstdc++")

file(GLOB QRX_MUSICLIB_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/musiclib/*.cpp ${CMAKE_SOURCE_DIR}/musiclib/src/*.cpp)
list(FILTER QRX_MUSICLIB_SOURCES EXCLUDE REGEX ".*_sdl\\.cpp$")
add_library(bass SHARED ${QRX_MUSICLIB_SOURCES})
set_target_properties(bass PROPERTIES PREFIX "" OUTPUT_NAME bass)
target_include_directories(bass PUBLIC ${CMAKE_SOURCE_DIR}/musiclib/include)
target_link_libraries(bass PRIVATE winmm)
target_link_options(bass PRIVATE -Wl,--kill-at)

file(GLOB QRX_SYSTEM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/common/*.cpp ${CMAKE_SOURCE_DIR}/shell/*.cpp
  ${CMAKE_SOURCE_DIR}/display/*.cpp ${CMAKE_SOURCE_DIR}/effects/*.cpp
  ${CMAKE_SOURCE_DIR}/show/*.cpp ${CMAKE_SOURCE_DIR}/assets/*.cpp ${CMAKE_SOURCE_DIR}/music/*.cpp)

# windres finds bass.dll in the build folder, where the DLL is copied before it runs.
set(QRX_RC_OBJ ${CMAKE_BINARY_DIR}/qrx_rc.o)
add_custom_command(
  OUTPUT ${QRX_RC_OBJ}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:bass> ${CMAKE_BINARY_DIR}/bass.dll
  COMMAND ${CMAKE_RC_COMPILER} -O coff --include-dir ${CMAKE_BINARY_DIR}
          --include-dir ${CMAKE_SOURCE_DIR}/assets -i ${CMAKE_SOURCE_DIR}/assets/qrx.rc
          -o ${QRX_RC_OBJ}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/assets
  DEPENDS bass ${CMAKE_SOURCE_DIR}/assets/qrx.rc ${CMAKE_SOURCE_DIR}/assets/sheet.bmp
          ${CMAKE_SOURCE_DIR}/assets/module.mod ${CMAKE_SOURCE_DIR}/assets/qrx.ico
  COMMENT "Compiling the resources with windres")

add_library(qrx_system OBJECT ${QRX_SYSTEM_SOURCES})
target_include_directories(qrx_system PRIVATE ${CMAKE_SOURCE_DIR})

add_executable(QRXIntro WIN32 $<TARGET_OBJECTS:qrx_system> ${QRX_RC_OBJ})
target_link_libraries(QRXIntro PRIVATE ddraw dxguid gdi32 user32 kernel32)

# For scripts/test-windows.sh: the same program without the graphics sheet, which must stop
# with its message box. Built only on request.
set(QRX_NOSHEET_RC_OBJ ${CMAKE_BINARY_DIR}/nosheet_rc.o)
add_custom_command(
  OUTPUT ${QRX_NOSHEET_RC_OBJ}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:bass> ${CMAKE_BINARY_DIR}/bass.dll
  COMMAND ${CMAKE_RC_COMPILER} -O coff --include-dir ${CMAKE_BINARY_DIR}
          --include-dir ${CMAKE_SOURCE_DIR}/assets -i ${CMAKE_SOURCE_DIR}/tests/windows/nosheet.rc
          -o ${QRX_NOSHEET_RC_OBJ}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/assets
  DEPENDS bass ${CMAKE_SOURCE_DIR}/tests/windows/nosheet.rc ${CMAKE_SOURCE_DIR}/assets/module.mod
          ${CMAKE_SOURCE_DIR}/assets/qrx.ico
  COMMENT "Compiling the resources without the sheet")
add_executable(QRXIntroNoSheet WIN32 EXCLUDE_FROM_ALL $<TARGET_OBJECTS:qrx_system>
               ${QRX_NOSHEET_RC_OBJ})
target_link_libraries(QRXIntroNoSheet PRIVATE ddraw dxguid gdi32 user32 kernel32)

# For scripts/test-windows.sh: reports what the DirectDraw at hand does with the calls the
# display makes (mode, pixel format, gamma control, colour keys, Flip). Built only on request.
add_executable(ddraw_probe WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/windows/ddraw_probe.cpp)
target_link_libraries(ddraw_probe PRIVATE ddraw dxguid gdi32 user32 kernel32)
