# Names shared by the game program and the content build.

# The key the shipped asset archive is enciphered with; the game mounts the
# archive with the same key (59 printable characters, no quotes or ';').
set(LODGEROO_ASSETS_KEY "Lodgeroo-7Qm2vXr9Tk4Ha1Zc8Pw3Ny6Bd5Fj0Ls-Brightwick-26+KvWx")

# The folder that holds the program in the build tree; the built content tree
# "assets" is laid out beside it so the program finds it from there.
set(LODGEROO_RUNTIME_DIR "${CMAKE_BINARY_DIR}/game")
