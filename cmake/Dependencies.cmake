# Every dependency comes from Debian's packages; see tools/install-deps.sh.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)

# Irrlicht ships no pkg-config or CMake file.
find_path(IRRLICHT_INCLUDE_DIR irrlicht.h PATH_SUFFIXES irrlicht REQUIRED)
find_library(IRRLICHT_LIBRARY Irrlicht REQUIRED)
add_library(Irrlicht::Irrlicht UNKNOWN IMPORTED)
set_target_properties(Irrlicht::Irrlicht PROPERTIES
  IMPORTED_LOCATION "${IRRLICHT_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${IRRLICHT_INCLUDE_DIR}"
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${IRRLICHT_INCLUDE_DIR}")

# Loki is used header-only (SingletonHolder).
find_path(LOKI_INCLUDE_DIR loki/Singleton.h REQUIRED)
add_library(Loki::Loki INTERFACE IMPORTED)
set_target_properties(Loki::Loki PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${LOKI_INCLUDE_DIR}"
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${LOKI_INCLUDE_DIR}")
