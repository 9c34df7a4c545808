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

add_executable(QRXIntro WIN32 ${QRX_SYSTEM_SOURCES} ${QRX_RC_OBJ})
target_include_directories(QRXIntro PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(QRXIntro PRIVATE ddraw dxguid gdi32 user32 kernel32)
