# The workbook reader's libraries for the MinGW build: pugixml and minizip built
# from Debian's sources by scripts/build-windows-deps.sh (a quick check when they
# are already built), and Debian's zlib for MinGW. Defines the same
# pugixml::pugixml target as the native build, and tabulon::minizip.
set(TABULON_WINDOWS_DEPS "${PROJECT_SOURCE_DIR}/build/windows-deps" CACHE PATH
    "Where scripts/build-windows-deps.sh builds pugixml and minizip for MinGW")

execute_process(
  COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/build-windows-deps.sh" "${TABULON_WINDOWS_DEPS}"
  RESULT_VARIABLE windows_deps_result)
if(NOT windows_deps_result EQUAL 0)
  message(FATAL_ERROR "pugixml, minizip and expat for Windows could not be built: run scripts/install-deps.sh")
endif()
# Reconfigure when the build script changes, so the libraries follow it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${PROJECT_SOURCE_DIR}/scripts/build-windows-deps.sh")

set(windows_deps_prefix "${TABULON_WINDOWS_DEPS}/x86_64-w64-mingw32")
file(STRINGS "${TABULON_WINDOWS_DEPS}/source-versions.txt" windows_deps_versions)
list(JOIN windows_deps_versions ", " windows_deps_versions)
message(STATUS "Workbook libraries for Windows: ${windows_deps_versions}")

# The static zlib: its import library would tie the programs to zlib1.dll.
find_library(TABULON_MINGW_ZLIB NAMES libz.a REQUIRED)

add_library(pugixml::pugixml STATIC IMPORTED)
set_target_properties(pugixml::pugixml PROPERTIES
  IMPORTED_LOCATION "${windows_deps_prefix}/lib/libpugixml.a"
  INTERFACE_INCLUDE_DIRECTORIES "${windows_deps_prefix}/include")

add_library(tabulon::expat STATIC IMPORTED)
set_target_properties(tabulon::expat PROPERTIES
  IMPORTED_LOCATION "${windows_deps_prefix}/lib/libexpat.a"
  INTERFACE_INCLUDE_DIRECTORIES "${windows_deps_prefix}/include"
  INTERFACE_COMPILE_DEFINITIONS XML_STATIC)

add_library(tabulon::minizip STATIC IMPORTED)
set_target_properties(tabulon::minizip PROPERTIES
  IMPORTED_LOCATION "${windows_deps_prefix}/lib/libminizip.a"
  INTERFACE_INCLUDE_DIRECTORIES "${windows_deps_prefix}/include"
  INTERFACE_LINK_LIBRARIES "${TABULON_MINGW_ZLIB}")
